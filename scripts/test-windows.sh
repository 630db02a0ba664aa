#!/usr/bin/env bash
# The Windows build (mingw-w64) and its suites under Wine: the same test sources as the
# Linux build's, against the real Windows libraries. Called by scripts/test.sh after the
# Linux runs; install-deps.sh --windows has put the cross compiler, Wine and the mingw
# builds of GoogleTest and jsoncpp in place.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh --windows
jobs=$(nproc)

# A prefix of our own, primed once. Wine's background services keep the first Wine
# process's output open, so that process writes to a file, never to a pipe; a
# persistent wineserver then starts each test program in a fraction of a second.
export WINEPREFIX="${ZENDRIK_WINEPREFIX:-$HOME/.cache/zendrik2-mingw/wine}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineserver -p 2> /dev/null || true  # one may already run for this prefix

# The wire tests' recording servers run in a Linux process beside Wine: each server of a
# test under Wine is a connection to it. It prints its port once it listens.
cmake --preset default > /dev/null
cmake --build --preset default -j "$jobs" --target zendrik2-wire-host
wirehost_port=$(mktemp)
build/bin/zendrik2-wire-host > "$wirehost_port" &
wirehost=$!
# Wine's desktop and the browser control's windows need a display: an X server of our
# own, of a booth's size, for all but the window suite (whose cases start their own).
xvfb_number=$(mktemp)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3> "$xvfb_number" > /dev/null 2>&1 &
xvfb=$!
trap 'kill "$wirehost" "$xvfb" 2> /dev/null; rm -f "$wirehost_port" "$xvfb_number"; wineserver -k || true' EXIT
for _ in $(seq 100); do
  [ -s "$wirehost_port" ] && [ -s "$xvfb_number" ] && break
  sleep 0.1
done
ZENDRIK_WIRE_HOST=$(cat "$wirehost_port")
[ -n "$ZENDRIK_WIRE_HOST" ] || { echo "test-windows: the wire host did not start" >&2; exit 1; }
export ZENDRIK_WIRE_HOST
[ -s "$xvfb_number" ] || { echo "test-windows: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$xvfb_number")"
wine wineboot -i > "$WINEPREFIX/wineboot.log" 2>&1 < /dev/null

# The toolkit's MSW build, which install-deps.sh has cached: the window comes with it.
wx_config=$(./scripts/mingw-wx.sh)
cmake --preset windows -DZENDRIK_WX_CONFIG="$wx_config" > /dev/null
cmake --build --preset windows -j "$jobs"
# The internet library trusts the system's store only: the test authority goes there.
wine build-win/bin/zendrik2-trust-test-ca.exe tests/data/certs/ca.pem < /dev/null
ctest --preset windows -j "$jobs"

# The job suite of the Linux build (test.sh has built it), with its stand-in, driving
# the Windows runner: the same cases, log lines and bytes on the wire.
ZENDRIK_JOB_RUNNER="wine;$PWD/build-win/bin/zendrik2-job.exe" ctest --preset default -j "$jobs" -L '^job_test$'

# The window suite of the Linux build driving the Windows window under Wine, each case on
# an X server of its own; one case at a time, since the close command (taskkill, which
# sends WM_CLOSE) names the program, not the case's process. Wine's desktop process
# serves the display it was started on, and the one started so far had none (a screen
# of 1024 by 768 and seconds of waiting for every window): a new wineserver lets the
# suite's first window start it on the suite's display.
wineserver -k || true
wineserver -w || true
wineserver -p
ZENDRIK_GUI_RUNNER="wine;$PWD/build-win/bin/zendrik2.exe" ctest --preset default -j 1 -L '^gui_test$'

# The zip: the runner starts from the unpacked folder alone.
{ read -r zip; read -r setup; } < <(./scripts/package-windows.sh)
unpacked=$(mktemp -d)
unzip -q "$zip" -d "$unpacked"
version=$(wine "$unpacked/zendrik2-2.4.4-win64/zendrik2-job.exe" --version < /dev/null 2> /dev/null | tr -d '\r')
rm -rf "$unpacked"
[ "$version" = "zendrik2-job 2.4.4" ] || { echo "test-windows: the packaged runner says '$version'" >&2; exit 1; }

./scripts/check-windows-installer.sh "$setup"
