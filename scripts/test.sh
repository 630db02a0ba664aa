#!/usr/bin/env bash
# Installs what the build needs (the window toolkit and Xvfb too: the window tests run
# under an X server of their own), checks the formatting and the rooms' includes, builds
# everything and runs every test: first the normal build, then the tests again under
# AddressSanitizer and UBSan, then each fuzz target for 20 seconds, the Debian packages,
# then the Windows build's suites under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh --gui
jobs=$(nproc)

./scripts/check-format.sh
./scripts/check-includes.sh

cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

unset ASAN_OPTIONS UBSAN_OPTIONS
./scripts/fuzz.sh 20

./scripts/package-test.sh

./scripts/test-windows.sh
