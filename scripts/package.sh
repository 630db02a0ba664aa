#!/usr/bin/env bash
# Builds the Debian packages zendrik2 (the program and zendrik2-job) and zendrik2-standin
# (the stand-in, for rehearsing a booth offline) into build/packages/.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh --gui --package
# ZENDRIK_BUILD_DIR: another build folder than the default preset's build/.
build=${ZENDRIK_BUILD_DIR:-build}
if [ -n "${ZENDRIK_BUILD_DIR:-}" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
else
  cmake --preset default >/dev/null
fi
cmake --build "$build" --target zendrik2 zendrik2-job zendrik2-standin zendrik_packaging_files -j "$(nproc)"

rm -f "$build"/packages/*.deb
(cd "$build" && cpack -G DEB --config CPackConfig.cmake >/dev/null)
ls "$(cd "$build" && pwd)"/packages/*.deb
