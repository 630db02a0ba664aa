#!/usr/bin/env bash
# The main job, one shot end to end, on a fresh Debian 12 machine: installs what is
# needed, builds, starts the local stand-in service, makes a sample photo and runs
# zendrik2 in unattended mode as a photo-booth host would (album, description,
# comment, e-mail, password and the browser box on its command line). The program
# fills the login form itself; pressing the login button is the guest's act: with a
# display of yours you press it, without one the demo runs under Xvfb and the
# stand-in's --autosubmit presses it. Prints what the service received and the path
# of a screenshot of the login box.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh --gui
# ZENDRIK_BUILD_DIR: another build folder than the default preset's build/.
build=${ZENDRIK_BUILD_DIR:-build}
if [ -n "${ZENDRIK_BUILD_DIR:-}" ]; then
  cmake -S . -B "$build" -G Ninja >/dev/null
else
  cmake --preset default >/dev/null
fi
cmake --build "$build" --target zendrik2 zendrik2-standin -j "$(nproc)"

work=$(mktemp -d /tmp/zendrik2-demo-XXXXXX)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT

autosubmit=()
if [ -z "${DISPLAY:-}" ]; then
  exec 3> "$work/xvfb.display"
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
  pids+=($!)
  exec 3>&-
  for _ in $(seq 1 100); do [ -s "$work/xvfb.display" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$work/xvfb.display")"
  autosubmit=(--autosubmit --autosubmit-delay 3000)  # time for the screenshot first
  echo "No display: running under Xvfb on $DISPLAY; the stand-in presses the login button."
else
  echo "On your display $DISPLAY: press the login form's button when it shows (password: secret)."
fi

"$build/bin/zendrik2-standin" "${autosubmit[@]}" > "$work/standin.out" 2> "$work/standin.err" &
pids+=($!)
for _ in $(seq 1 300); do grep -q '^READY$' "$work/standin.out" 2>/dev/null && break; sleep 0.1; done
grep -q '^READY$' "$work/standin.out" || { echo "the stand-in did not start" >&2; exit 1; }
eval "$(sed -n 's/^env /export /p' < "$work/standin.out")"
admin=$(sed -n 's/^admin //p' "$work/standin.out")

# The demo's own settings and cookies, not yours.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache" NO_AT_BRIDGE=1
mkdir -p "$HOME"

photo="$work/booth-shot.jpg"
label=()
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
[ -f "$font" ] && label=(-font "$font" -gravity center -pointsize 72 -fill white -annotate 0 'Zendrik2 demo')
convert -size 1200x800 plasma:orange-purple "${label[@]}" -quality 90 "$photo"

"$build/bin/zendrik2" "-aDemo party" "-dPhotos from the demo booth" "-bHello from the booth!" "-f$photo" \
  -x100 -y100 -w800 -h600 -uguest@example.com -psecret > "$work/zendrik2.out" 2> "$work/zendrik2.err" &
program=$!
pids+=($program)

window=""
for _ in $(seq 1 300); do
  window=$(xdotool search --onlyvisible --pid "$program" 2>/dev/null | head -n1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "no window appeared" >&2; cat "$work/zendrik2.err" >&2; exit 1; }

# The login box once the form is there and filled in.
curl -fsS "$admin/_admin/wait?kind=login_form&timeoutMs=60000" > /dev/null
sleep 1.5
box=$(xwininfo -shape -id "$window" | sed -n 's/.*Window shape extents: *//p')
screenshot="$work/login-box.png"
import -window root -crop "${box:-801x601+0+0}" +repage "$screenshot"

title=""
last=""
deadline=$((SECONDS + 300))
while [ $SECONDS -lt $deadline ]; do
  title=$(xprop -id "$window" _NET_WM_NAME 2>/dev/null | sed -n 's/^[^"]*"\(.*\)"$/\1/p' || true)
  if [ "$title" != "$last" ]; then echo "title: $title"; last=$title; fi
  case "$title" in
    *"(upload ok)"*|*"(error"*|*"(login failed)"*) break ;;
  esac
  sleep 0.2
done

# The worker logs out after the upload; then the host's close command ends the program.
case "$title" in
  *"(upload ok)"*) curl -fsS "$admin/_admin/wait?kind=logout&timeoutMs=30000" > /dev/null || true ;;
esac
kill -TERM "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true

echo
echo "What the service received:"
curl -fsS "$admin/_admin/received?kind=album_create,photo,logout" | jq -r '.requests[] |
  if .kind == "album_create" then
    "  album created: \"\(.details.name)\" (id \(.details.albumId)), description \"\(.details.message)\""
  elif .kind == "photo" then
    "  photo \(.details.photoId) into album \(.details.albumId): \(.details.size) bytes, caption \"\(.details.caption)\", file \(.details.filename)"
  else
    "  logout: token \(.details.tokenState), session closed: \(.details.sessionClosed)"
  end'
echo "  (the photo on disk: $(stat -c %s "$photo") bytes)"
echo
echo "Screenshot of the login box: $screenshot"
case "$title" in
  *"(upload ok)"*) echo "Result: $title" ;;
  *) echo "Result: the job did not finish: ${title:-no title}" >&2; exit 1 ;;
esac
