#!/usr/bin/env bash
# Makes the Debian package with cpack -G DEB, installs it with dpkg into a
# fresh temporary root (its own dpkg database; nothing of the machine's is
# touched) and checks the files that dpkg lists for it.
# Usage: deb.sh BUILD_DIR HAS_TOOL SANITIZED
# Exits with 77 (skipped) for a sanitizer build.
set -euo pipefail
build=$1
has_tool=$2
if [ "${3:-0}" = 1 ]; then
  echo "skipped: a sanitizer build is not packaged"
  exit 77
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

(cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/pkg") >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log" >&2; fail "cpack -G DEB"; }
deb=$(find "$tmp/pkg" -maxdepth 1 -name 'metdb_*.deb')
[ -n "$deb" ] || { cat "$tmp/cpack.log" >&2; fail "no metdb_*.deb made"; }
[ "$(dpkg-deb --field "$deb" Package)" = metdb ] || fail "package name"
[ "$(dpkg-deb --field "$deb" Version)" = 1.10.0 ] || fail "package version"

# An empty root with an empty dpkg database. The dependencies (the C and C++
# runtimes) are not in that database, hence --force-depends. The maintainer
# scripts run outside the root (no chroot needed, so no root privileges), and
# the ldconfig they call is a stub: the machine's own library cache is never
# touched.
root=$tmp/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
mkdir "$tmp/bin"
printf '#!/bin/sh\necho "ldconfig $*" >>"%s"\n' "$tmp/ldconfig.calls" >"$tmp/bin/ldconfig"
chmod +x "$tmp/bin/ldconfig"
PATH="$tmp/bin:$PATH" dpkg --root="$root" --log="$tmp/dpkg.log" --force-not-root --force-depends \
  --force-script-chrootless -i "$deb" >"$tmp/dpkg.out" 2>&1 ||
  { cat "$tmp/dpkg.out" >&2; fail "dpkg -i"; }
grep -q ' status installed metdb:[a-z0-9]* 1\.10\.0$' "$tmp/dpkg.log" || {
  cat "$tmp/dpkg.out" "$tmp/dpkg.log" >&2
  fail "dpkg did not record metdb 1.10.0 as installed"
}
dpkg --root="$root" -L metdb >"$tmp/files"
echo "== files of $(basename "$deb")"
cat "$tmp/files"

expect() {
  grep -qxF "$1" "$tmp/files" || fail "the package does not list $1"
  [ -e "$root$1" ] || fail "$1 is not installed"
}
libdir=$(grep -E '/libmetdb\.so\.1\.10\.0$' "$tmp/files" | xargs -r dirname)
[ -n "$libdir" ] || fail "the package has no libmetdb.so.1.10.0"
expect "$libdir/libmetdb.so.1.10.0"
expect "$libdir/libmetdb.so.1.10"
expect "$libdir/libmetdb.so"
expect "$libdir/cmake/metdb/metdbConfig.cmake"
expect "$libdir/cmake/metdb/metdbConfigVersion.cmake"
expect "$libdir/cmake/metdb/metdbTargets.cmake"
expect "$libdir/pkgconfig/metdb.pc"
expect /usr/include/metdb/metdb.h
expect /usr/include/metdb/datafile/LocationData.h
expect /usr/include/metdb/platform/Export.h
grep -qx 'prefix=/usr' "$root$libdir/pkgconfig/metdb.pc" || fail "metdb.pc does not name /usr"
# Hosts get /usr/include alone as the include directory, and the headers name
# each other under metdb/: the library's own folders are no top-level names.
# (The ${...} below are the files' own text, not shell expansions.)
# shellcheck disable=SC2016
grep -qxF 'Cflags: -I${includedir}' "$root$libdir/pkgconfig/metdb.pc" ||
  fail "the Cflags of metdb.pc are not -I\${includedir} alone"
# shellcheck disable=SC2016
grep -qF 'INTERFACE_INCLUDE_DIRECTORIES "${_IMPORT_PREFIX}/include"' \
  "$root$libdir/cmake/metdb/metdbTargets.cmake" ||
  fail "metdb::metdb does not give the installation's include folder alone"
grep -qxF '#include "metdb/platform/Export.h"' "$root/usr/include/metdb/datafile/LocationData.h" ||
  fail "LocationData.h does not include metdb/platform/Export.h"
if grep -rnE '^#[[:space:]]*include[[:space:]]*["<](platform|directory|datafile|selection|module)/' \
     "$root/usr/include/metdb" >&2; then
  fail "packaged headers include each other by names outside metdb/"
fi
if [ "$has_tool" = 1 ]; then
  expect /usr/bin/metdb
  expect /usr/share/man/man1/metdb.1.gz
  expect /usr/share/metdb/geo/countries.tsv
  expect /usr/share/metdb/geo/countries-50m.bin
fi
