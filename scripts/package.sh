#!/usr/bin/env bash
# Builds the Debian packages zendrik2 (the program and zendrik2-job) and zendrik2-standin
# (the stand-in, for rehearsing a booth offline) into build-deb/packages/. The programs are
# built apart from build/, with Debian's hardening flags and without tests or benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh --gui --package
build=${ZENDRIK_PACKAGE_BUILD_DIR:-build-deb}
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZENDRIK_BUILD_TESTS=OFF -DZENDRIK_BUILD_BENCH=OFF \
  -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" --target zendrik2 zendrik2-job zendrik2-standin zendrik_packaging_files -j "$(nproc)"

rm -f "$build"/packages/*.deb
(cd "$build" && cpack -G DEB --config CPackConfig.cmake >/dev/null 2>&1)
ls "$(cd "$build" && pwd)"/packages/*.deb
