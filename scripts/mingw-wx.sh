#!/usr/bin/env bash
# Builds the window toolkit for the Windows build: wxWidgets 3.2 from Debian's source
# package (wxwidgets3.2), static, for MSW with mingw-w64, with the web view on its IE
# backend (mingw has no WebView2 SDK). About 15 minutes on two cores, so the result is
# cached outside the clone, keyed on the source's version and on this configure line:
# a later run on the same machine finds it and builds nothing. Prints the prefix's
# wx-config on stdout.
set -euo pipefail
cache="${ZENDRIK_MINGW_CACHE:-$HOME/.cache/zendrik2-mingw}"
host=x86_64-w64-mingw32

configure_options=(
  --host=$host --with-msw CC=$host-gcc-posix CXX=$host-g++-posix
  --disable-shared --disable-debug_info --with-zlib=sys --without-libpng --without-libjpeg --without-libtiff
  --without-expat --without-opengl --without-liblzma --disable-svg --disable-xrc --disable-html --disable-htmlhelp
  --disable-aui --disable-propgrid --disable-ribbon --disable-stc --disable-richtext --disable-mediactrl
  --disable-sockets --disable-fs_inet --disable-sound --disable-compat30 --enable-webview --enable-webviewie
  --disable-webviewedge
)

apt_dir="$cache/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache" "$cache/src"
echo "deb-src http://deb.debian.org/debian bookworm main" > "$apt_dir/sources.list"
apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/nonexistent
             -o "Dir::State::Lists=$apt_dir/lists/" -o "Dir::Cache=$apt_dir/cache/")
[ -d "$apt_dir/lists" ] && ls "$apt_dir"/lists/*Sources* > /dev/null 2>&1 ||
  apt-get -qq "${apt_options[@]}" update < /dev/null > /dev/null
version=$(apt-cache "${apt_options[@]}" showsrc wxwidgets3.2 | sed -n 's/^Version: //p' | sort -V | tail -n 1)
[ -n "$version" ] || { echo "mingw-wx: Debian's archive has no wxwidgets3.2 source" >&2; exit 1; }

key=$(printf '%s\n' "$version" "${configure_options[@]}" | sha256sum | cut -c1-12)
prefix="$cache/wx-$version-$key"
# The stamp is written last: a build cut off half way is never taken for a finished one.
if [ -f "$prefix/.built" ]; then
  echo "$prefix/bin/wx-config"
  exit 0
fi

source_root="$cache/src/wx-$version"
if [ ! -f "$source_root/configure" ]; then
  rm -rf "$source_root" && mkdir -p "$source_root"
  (cd "$cache/src" && apt-get -qq "${apt_options[@]}" source --download-only "wxwidgets3.2=$version" < /dev/null \
    > /dev/null)
  tar -xf "$cache/src/wxwidgets3.2_${version%-*}.orig.tar.xz" -C "$source_root" --strip-components=1
fi

build="$cache/build-wx-$key"
rm -rf "$build" "$prefix" && mkdir -p "$build"
echo "mingw-wx: building wxWidgets $version for MSW (log: $build.log)" >&2
(cd "$build" && nice "$source_root/configure" --prefix="$prefix" "${configure_options[@]}" > "$build.log" 2>&1 &&
  nice make -j "$(nproc)" >> "$build.log" 2>&1 && make install >> "$build.log" 2>&1 && touch "$prefix/.built") ||
  { echo "mingw-wx: the build failed; the end of its log:" >&2; tail -n 30 "$build.log" >&2; rm -rf "$prefix"; exit 1; }
rm -rf "$build"
echo "$prefix/bin/wx-config"
