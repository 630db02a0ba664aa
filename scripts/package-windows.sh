#!/usr/bin/env bash
# Makes zendrik2-2.4.4-win64.zip and the installer zendrik2-2.4.4-setup.exe (NSIS) from the
# Windows build (build-win, preset windows): the window and the runner, stripped (they
# need no library but Windows' own), the operator's guide with its pictures, an example
# settings file and the README for Windows. Prints the zip's path, then the installer's.
set -euo pipefail
cd "$(dirname "$0")/.."
version=2.4.4
build=${ZENDRIK_WINDOWS_BUILD_DIR:-build-win}
name="zendrik2-$version-win64"
stage="$build/package/$name"

for program in zendrik2.exe zendrik2-job.exe; do
  [ -x "$build/bin/$program" ] || { echo "package-windows: build the windows preset first (no $program)" >&2; exit 1; }
done
rm -rf "$build/package"
mkdir -p "$stage"
for program in zendrik2.exe zendrik2-job.exe; do
  x86_64-w64-mingw32-strip -o "$stage/$program" "$build/bin/$program"
done
cp docs/operator.md docs/*.png "$stage/"
sed 's/$/\r/' packaging/windows/README.txt > "$stage/README.txt"
sed 's/$/\r/' packaging/windows/settings-example.reg > "$stage/settings-example.reg"
(cd "$build/package" && rm -f "$name.zip" && zip -q -r -X "$name.zip" "$name")
echo "$build/package/$name.zip"

# The uninstaller deletes the files it installed, one by one, and never a whole folder
# that an operator may have chosen to share with files of their own.
filelist="$build/package/uninstall-files.nsh"
(cd "$stage" && find . -type f | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\&"|') > "$filelist"
setup="$build/package/zendrik2-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DSTAGE="$PWD/$stage" -DOUTFILE="$PWD/$setup" -DFILELIST="$PWD/$filelist" \
  packaging/windows/zendrik2.nsi > /dev/null
echo "$setup"
