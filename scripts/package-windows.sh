#!/usr/bin/env bash
# Makes zendrik2-2.4.4-win64.zip from the Windows build (build-win, preset windows): the
# runner, stripped (it needs no library but Windows' own), the operator's guide with its
# pictures, and the README for Windows. Prints the zip's path.
set -euo pipefail
cd "$(dirname "$0")/.."
version=2.4.4
build=${ZENDRIK_WINDOWS_BUILD_DIR:-build-win}
name="zendrik2-$version-win64"
stage="$build/package/$name"

[ -x "$build/bin/zendrik2-job.exe" ] || { echo "package-windows: build the windows preset first" >&2; exit 1; }
rm -rf "$build/package"
mkdir -p "$stage"
x86_64-w64-mingw32-strip -o "$stage/zendrik2-job.exe" "$build/bin/zendrik2-job.exe"
cp docs/operator.md docs/*.png "$stage/"
sed 's/$/\r/' packaging/windows/README.txt > "$stage/README.txt"
(cd "$build/package" && rm -f "$name.zip" && zip -q -r -X "$name.zip" "$name")
echo "$build/package/$name.zip"
