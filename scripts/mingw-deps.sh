#!/usr/bin/env bash
# Builds GoogleTest (from Debian's /usr/src/googletest) and jsoncpp (Debian's source
# package, fetched with apt-get source through a private source list) for mingw-w64,
# static, into $ZENDRIK_MINGW_PREFIX (default ~/.cache/zendrik2-mingw/prefix), which
# cmake/MingwToolchain.cmake searches. Skips what is already there.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cache="${ZENDRIK_MINGW_CACHE:-$HOME/.cache/zendrik2-mingw}"
prefix="${ZENDRIK_MINGW_PREFIX:-$cache/prefix}"
toolchain="$root/cmake/MingwToolchain.cmake"
mkdir -p "$cache"

build() {  # source dir, build dir, cmake options...
  local source="$1" build="$2"
  shift 2
  nice cmake -S "$source" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DZENDRIK_MINGW_PREFIX="$prefix" "$@" > "$build.log" 2>&1
  nice cmake --build "$build" -j 2 --target install >> "$build.log" 2>&1
}

if [ ! -f "$prefix/lib/libgtest.a" ]; then
  build /usr/src/googletest "$cache/build-gtest"
fi

if [ ! -f "$prefix/lib/libjsoncpp.a" ]; then
  apt_dir="$cache/apt"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache" "$cache/src"
  echo "deb-src http://deb.debian.org/debian bookworm main" > "$apt_dir/sources.list"
  apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/nonexistent
               -o "Dir::State::Lists=$apt_dir/lists/" -o "Dir::Cache=$apt_dir/cache/")
  apt-get -qq "${apt_options[@]}" update < /dev/null
  (cd "$cache/src" && apt-get -qq "${apt_options[@]}" source libjsoncpp < /dev/null)
  source_dir=$(find "$cache/src" -maxdepth 1 -type d -name 'libjsoncpp-*' | head -n 1)
  build "$source_dir" "$cache/build-jsoncpp" -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF
fi
