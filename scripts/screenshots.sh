#!/usr/bin/env bash
# Makes the README's screenshots in docs/ under an Xvfb of its own, against the local
# stand-in service: the interactive form, the form during a job with its log, and the
# unattended login box over a host program's screen. Needs a build (build/, or
# ZENDRIK_BUILD_DIR) with zendrik2 and zendrik2-standin.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${ZENDRIK_BUILD_DIR:-build}
out=docs
mkdir -p "$out"

work=$(mktemp -d /tmp/zendrik2-shots-XXXXXX)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp > /dev/null 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"

"$build/bin/zendrik2-standin" --autosubmit --autosubmit-delay 1500 > "$work/standin.out" 2>/dev/null &
pids+=($!)
for _ in $(seq 1 300); do grep -q '^READY$' "$work/standin.out" 2>/dev/null && break; sleep 0.1; done
eval "$(sed -n 's/^env /export /p' < "$work/standin.out")"
admin=$(sed -n 's/^admin //p' "$work/standin.out")
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache" NO_AT_BRIDGE=1
mkdir -p "$HOME"

font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
photo="$work/party.jpg"
convert -size 1600x1200 plasma:orange-purple -quality 90 "$photo"

window_of() {
  local pid=$1 window=""
  for _ in $(seq 1 300); do
    window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  echo "$window"
}

# The interactive form, filled from the command line.
"$build/bin/zendrik2" -aParty "-dOur summer party" "-f$photo" "-bGreetings from the booth" \
  -uguest@example.com -psecret > /dev/null 2>&1 &
form=$!
pids+=($form)
window=$(window_of "$form")
sleep 1.5
import -window "$window" "$out/form.png"

# The same form during the job: the upload slowed down so that its progress shows.
curl -fsS -X POST -d '{"host":"graph","method":"POST","path":"/v2.12/*","bodyBytesPerSecond":60000}' \
  "$admin/_admin/script" > /dev/null
xdotool windowfocus --sync "$window" key Return
curl -fsS "$admin/_admin/wait?kind=photo&timeoutMs=60000" > /dev/null &
for _ in $(seq 1 200); do
  xprop -id "$window" _NET_WM_NAME > /dev/null 2>&1 || break
  received=$(curl -fsS "$admin/_admin/received?kind=me" | jq '.requests | length')
  [ "$received" -ge 1 ] && break
  sleep 0.1
done
sleep 4
import -window "$window" "$out/form-job.png"
# The close command aborts the job; the window goes once the worker has finished.
curl -fsS -X DELETE "$admin/_admin/script" > /dev/null
kill "$form" 2>/dev/null || true
wait "$form" 2>/dev/null || true

# The unattended box over the host program's screen.
convert -size 1280x800 gradient:'#1d3557-#457b9d' \
  -font "$font" -fill '#f1faee' -pointsize 40 -gravity northwest -annotate +40+30 'Photo booth host' \
  -pointsize 22 -annotate +40+90 'Tap the screen to take your photo' "$work/desktop.png"
# The host program's full-screen window, under the uploader's.
display -immutable -borderwidth 0 -geometry 1280x800+0+0 "$work/desktop.png" &
pids+=($!)
sleep 1
curl -fsS -X POST -d '{"autosubmit":false}' "$admin/_admin/config" > /dev/null
"$build/bin/zendrik2" -aParty "-f$photo" -x100 -y100 -w640 -h480 -uguest@example.com -psecret \
  > /dev/null 2>&1 &
booth=$!
pids+=($booth)
window=$(window_of "$booth")
curl -fsS "$admin/_admin/wait?kind=login_form&timeoutMs=60000" > /dev/null
sleep 1.5
import -window root "$out/unattended-box.png"
box=$(xwininfo -shape -id "$window" | sed -n 's/.*Window shape extents: *//p')
import -window root -crop "$box" +repage "$out/login-box.png"
kill "$booth" 2>/dev/null || true
echo "docs/form.png docs/form-job.png docs/unattended-box.png docs/login-box.png"
