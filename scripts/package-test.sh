#!/usr/bin/env bash
# Builds the Debian packages, checks their file lists and lintian, installs them on this
# machine (dpkg -i, then apt-get -f install for the dependencies), runs the installed
# zendrik2-job --version and one job of the installed runner against the installed
# stand-in, then purges both packages. Needs root (or sudo); reads nothing from stdin.
set -euo pipefail
cd "$(dirname "$0")/.."
exec < /dev/null
export DEBIAN_FRONTEND=noninteractive

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
build=${ZENDRIK_PACKAGE_BUILD_DIR:-build-deb}
version=2.4.4
arch=$(dpkg --print-architecture)

fail() { echo "package-test: $*" >&2; exit 1; }

./scripts/package.sh
main_deb="$build/packages/zendrik2_${version}_${arch}.deb"
standin_deb="$build/packages/zendrik2-standin_${version}_${arch}.deb"
[ -f "$main_deb" ] || fail "missing $main_deb"
[ -f "$standin_deb" ] || fail "missing $standin_deb"

# File lists: exactly these files, nothing else.
files_of() { dpkg-deb --contents "$1" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' | sort; }
expect_files() {
  local deb=$1; shift
  local expected actual
  expected=$(printf '%s\n' "$@" | sort)
  actual=$(files_of "$deb")
  if [ "$expected" != "$actual" ]; then
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    fail "unexpected file list in $(basename "$deb")"
  fi
}
expect_files "$main_deb" \
  /usr/bin/zendrik2 /usr/bin/zendrik2-job \
  /usr/share/applications/zendrik2.desktop /usr/share/icons/hicolor/scalable/apps/zendrik2.svg \
  /usr/share/man/man1/zendrik2.1.gz /usr/share/man/man1/zendrik2-job.1.gz \
  /usr/share/doc/zendrik2/operator.md /usr/share/doc/zendrik2/copyright /usr/share/doc/zendrik2/changelog.gz \
  /usr/share/lintian/overrides/zendrik2
expect_files "$standin_deb" \
  /usr/bin/zendrik2-standin /usr/share/man/man1/zendrik2-standin.1.gz \
  /usr/share/zendrik2-standin/certs/ca.pem /usr/share/zendrik2-standin/certs/server.pem \
  /usr/share/zendrik2-standin/certs/server-key.pem \
  /usr/share/doc/zendrik2-standin/copyright /usr/share/doc/zendrik2-standin/changelog.gz \
  /usr/share/lintian/overrides/zendrik2-standin
for deb in "$main_deb" "$standin_deb"; do
  [ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "$(basename "$deb") is not version $version"
  dpkg-deb --field "$deb" Depends | grep -q 'libc6' || fail "$(basename "$deb") has no computed dependencies"
done

# Errors and warnings fail; informational tags show too. Each tag left is overridden with its reason.
lintian --fail-on error,warning --display-info --tag-display-limit 0 "$main_deb" "$standin_deb"

work=$(mktemp -d /tmp/zendrik2-package-test-XXXXXX)
standin=""
cleanup() {
  [ -n "$standin" ] && kill "$standin" 2>/dev/null && wait "$standin" 2>/dev/null
  $SUDO dpkg --purge zendrik2 zendrik2-standin > /dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

$SUDO dpkg -i "$main_deb" "$standin_deb" > "$work/dpkg.log" 2>&1 || true
$SUDO apt-get -f install -y -qq > "$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt-get -f install failed"; }
dpkg-query -W -f='${Status}\n' zendrik2 zendrik2-standin | grep -vq 'install ok installed' &&
  fail "the packages did not install"

[ "$(/usr/bin/zendrik2-job --version)" = "zendrik2-job $version" ] || fail "zendrik2-job --version"
[ "$(/usr/bin/zendrik2 --version)" = "zendrik2 $version" ] || fail "zendrik2 --version"

# One job of the installed runner against the installed stand-in and its installed certificate.
/usr/bin/zendrik2-standin --token T1 > "$work/standin.out" 2> "$work/standin.err" &
standin=$!
for _ in $(seq 1 300); do grep -q '^READY$' "$work/standin.out" 2>/dev/null && break; sleep 0.1; done
grep -q '^READY$' "$work/standin.out" || { cat "$work/standin.err" >&2; fail "the installed stand-in did not start"; }
grep -qx 'env ZENDRIK_CA_FILE=/usr/share/zendrik2-standin/certs/ca.pem' "$work/standin.out" ||
  fail "the installed stand-in does not use its installed certificate"
admin=$(sed -n 's/^admin //p' "$work/standin.out")
shot="$work/shot.jpg"
convert -size 320x240 plasma:orange-purple -quality 90 "$shot"
(
  eval "$(sed -n 's/^env /export /p' < "$work/standin.out")"
  export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
    XDG_CACHE_HOME="$work/home/.cache"
  mkdir -p "$HOME"
  ZENDRIK_ACCESS_TOKEN=T1 /usr/bin/zendrik2-job -aParty "-dOur party" "-bHello" "-f$shot" -y1 \
    -uguest@example.com -psecret > "$work/job.out" 2> "$work/job.err"
) || { cat "$work/job.out" "$work/job.err" >&2; fail "the installed job failed"; }
grep -q '(upload ok)' "$work/job.err" || fail "no (upload ok) title"
received=$(curl -fsS "$admin/_admin/received?kind=photo" | jq '.requests | length')
[ "$received" = 1 ] || fail "the stand-in received $received photos"

kill "$standin"
wait "$standin" 2>/dev/null || true
standin=""
$SUDO dpkg --purge zendrik2 zendrik2-standin > /dev/null
[ ! -e /usr/bin/zendrik2 ] && [ ! -e /usr/bin/zendrik2-standin ] && [ ! -e /usr/share/zendrik2-standin ] ||
  fail "files left after purge"
echo "package-test: both packages built, lintian clean, installed, ran a job and purged"
