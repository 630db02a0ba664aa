#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# Safe to run again: apt skips what is already there. --gui adds the window toolkit and
# the X tools; --package adds what building and checking the Debian packages needs;
# --windows adds the mingw-w64 cross compiler and Wine, and builds GoogleTest, jsoncpp and
# the window toolkit (wx MSW) for mingw from Debian's own sources (scripts/mingw-deps.sh,
# scripts/mingw-wx.sh, cached outside the clone).
set -euo pipefail
cd "$(dirname "$0")/.."
windows=0

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev
  libcurl4-openssl-dev libssl-dev openssl curl
  libjsoncpp-dev libmagic-dev libmagic-mgc uuid-dev
  libcpp-httplib-dev
  clang libclang-rt-14-dev clang-format
)

for option in "$@"; do
  case "$option" in
    --gui)
      packages+=(libwxgtk3.2-dev libwxgtk-webview3.2-dev libwebkit2gtk-4.0-dev libgtk-3-dev libx11-dev glib-networking
                 xvfb xauth x11-utils xdotool imagemagick jq
                 gdb) ;;  # gdb: where a window that never appeared is stuck, in the failing test's report
    --package)
      packages+=(dpkg-dev file lintian man-db) ;;  # file: CPack finds the binaries with it
    --windows)
      windows=1
      # fonts-wine: the fonts Windows programs ask for, without which the window shows no text
      packages+=(g++-mingw-w64-x86-64-posix wine wine64 fonts-wine libz-mingw-w64-dev googletest dpkg-dev zip nsis) ;;
    *) echo "install-deps.sh: unknown option $option" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -ne 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq < /dev/null
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" < /dev/null
fi
if [ "$windows" -ne 0 ]; then
  ./scripts/mingw-deps.sh
  ./scripts/mingw-wx.sh > /dev/null
fi
