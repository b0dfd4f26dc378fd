#!/usr/bin/env bash
# Makes the Debian packages with cpack -G DEB, checks each one's fields and
# contents with dpkg-deb, installs them with dpkg into a fresh temporary root
# (its own dpkg database; nothing of the machine's is touched) and runs the
# tool from there.
# Usage: deb.sh BUILD_DIR HAS_TOOL SANITIZED [HAS_DEBUG_INFO]
# Exits with 77 (skipped) for a sanitizer build. A build without debug
# information (HAS_DEBUG_INFO 0: Release, MinSizeRel) makes no -dbgsym
# packages, and its binaries are only checked to hold none.
set -euo pipefail
# Pipes end in grep without -q: grep -q stops at the first match, and the
# writer, killed by SIGPIPE, would fail the pipeline now and then.
build=$1
has_tool=$2
has_debug=${4:-1}
if [ "${3:-0}" = 1 ]; then
  echo "skipped: a sanitizer build is not packaged"
  exit 77
fi
# shellcheck source=tests/packaging/common.sh
source "$(dirname "$0")/common.sh"
version=1.10.0
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
libdir=/usr/lib/$multiarch

# zstd rather than the packages' xz: the contents are the same, and the
# test spends seconds rather than most of a minute compressing the tool's
# debug information.
(cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/pkg" \
  -D CPACK_DEBIAN_COMPRESSION_TYPE=zstd) >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log" >&2; fail "cpack -G DEB"; }
packages=(libmetdb1.10 libmetdb-dev)
[ "$has_tool" = 1 ] && packages+=(metdb)
debug_packages=()
if [ "$has_debug" = 1 ]; then
  debug_packages+=(libmetdb1.10-dbgsym)
  [ "$has_tool" = 1 ] && debug_packages+=(metdb-dbgsym)
fi
deb() { echo "$tmp/pkg/${1}_${version}_$arch.$2"; }
# The Python module's package, when the build installs the module.
if [ -e "$(deb python3-metdb deb)" ]; then
  packages+=(python3-metdb)
  [ -e "$(deb python3-metdb-dbgsym ddeb)" ] && debug_packages+=(python3-metdb-dbgsym)
fi
echo "== packages"
(cd "$tmp/pkg" && shopt -s nullglob && ls -l -- *.deb *.ddeb)
made=$(cd "$tmp/pkg" && shopt -s nullglob && ls -- *.deb *.ddeb | sort | xargs)
expected=$(for p in "${packages[@]}"; do echo "${p}_${version}_$arch.deb"; done
  for p in "${debug_packages[@]+"${debug_packages[@]}"}"; do echo "${p}_${version}_$arch.ddeb"; done)
[ "$made" = "$(echo "$expected" | sort | xargs)" ] || fail "cpack made $made"

# contents PACKAGE EXT: the package's files, one path a line (/usr/...).
contents() { dpkg-deb --fsys-tarfile "$(deb "$1" "$2")" | tar -t | sed 's|^\./|/|; s|/$||'; }
# has PACKAGE PATH...: each path is in the package.
has() {
  local p=$1 ext=deb
  shift
  [[ $p == *-dbgsym ]] && ext=ddeb
  contents "$p" "$ext" >"$tmp/$p.files"
  for path in "$@"; do
    grep -qxF "$path" "$tmp/$p.files" || fail "$p does not hold $path"
  done
}
# field PACKAGE FIELD
field() {
  local ext=deb
  [[ $1 == *-dbgsym ]] && ext=ddeb
  dpkg-deb --field "$(deb "$1" "$ext")" "$2"
}

for p in "${packages[@]}"; do
  [ "$(field "$p" Package)" = "$p" ] || fail "$p: Package is $(field "$p" Package)"
  [ "$(field "$p" Version)" = "$version" ] || fail "$p: Version is $(field "$p" Version)"
  # Debian's machine-readable copyright, naming the code's licence.
  has "$p" "/usr/share/doc/$p/copyright" "/usr/share/doc/$p/changelog.gz"
done

# The library alone, in the multiarch folder, with its shlibs and the
# loader's trigger.
has libmetdb1.10 "$libdir/libmetdb.so.$version" "$libdir/libmetdb.so.1.10"
if grep -E '\.h$|/libmetdb\.so$|/bin/' "$tmp/libmetdb1.10.files"; then
  fail "libmetdb1.10 holds more than the library"
fi
dpkg-deb -I "$(deb libmetdb1.10 deb)" shlibs | grep -xF "libmetdb 1.10 libmetdb1.10 (>= $version)" >/dev/null ||
  fail "libmetdb1.10 has no shlibs entry for libmetdb.so.1.10"
dpkg-deb -I "$(deb libmetdb1.10 deb)" triggers | grep -x 'activate-noawait ldconfig' >/dev/null ||
  fail "libmetdb1.10 does not trigger ldconfig"

# The development files, depending on the library of the same version.
has libmetdb-dev "$libdir/libmetdb.so" "$libdir/cmake/metdb/metdbConfig.cmake" \
  "$libdir/cmake/metdb/metdbConfigVersion.cmake" "$libdir/cmake/metdb/metdbTargets.cmake" \
  "$libdir/pkgconfig/metdb.pc" /usr/include/metdb/metdb.h \
  /usr/include/metdb/datafile/LocationData.h /usr/include/metdb/common/LocationData.h \
  /usr/include/metdb/platform/Export.h \
  /usr/share/doc/libmetdb-dev/README.md
field libmetdb-dev Depends | grep -F "libmetdb1.10 (= $version)" >/dev/null ||
  fail "libmetdb-dev does not depend on libmetdb1.10 (= $version)"
if grep -q "/usr/share/doc/libmetdb-dev/html/" "$tmp/libmetdb-dev.files"; then
  has libmetdb-dev /usr/share/doc/libmetdb-dev/html/index.html
else
  echo "note: libmetdb-dev has no API documentation (Doxygen was not found)"
fi

if [[ " ${packages[*]} " == *" python3-metdb "* ]]; then
  for dependency in "libmetdb1.10 (= $version)" "python3 (>= 3." "python3 (<< 3." python3-numpy; do
    field python3-metdb Depends | grep -F "$dependency" >/dev/null ||
      fail "python3-metdb does not depend on $dependency"
  done
fi

# Stripped binaries; their debug information, found by build ID, in -dbgsym.
mkdir "$tmp/x"
for p in "${packages[@]}"; do dpkg-deb -x "$(deb "$p" deb)" "$tmp/x"; done
for p in "${debug_packages[@]+"${debug_packages[@]}"}"; do dpkg-deb -x "$(deb "$p" ddeb)" "$tmp/x"; done
stripped() {  # stripped FILE DEBUG_PACKAGE
  local id
  if readelf -S "$1" | grep '\.debug_info' >/dev/null; then fail "$1 keeps its debug information"; fi
  [ "$has_debug" = 1 ] || return 0
  id=$(readelf -n "$1" | awk '/Build ID:/ { print $3 }')
  [ -n "$id" ] || fail "$1 has no build ID"
  has "$2" "/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug"
  readelf -S "$tmp/x/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug" 2>/dev/null | grep '\.debug_info' >/dev/null ||
    fail "$2 does not hold the debug information of $1"
}
stripped "$tmp/x$libdir/libmetdb.so.$version" libmetdb1.10-dbgsym

if [ "$has_tool" = 1 ]; then
  # The tool with its manual pages, completion, reference data and the
  # data's licences, depending on the library.
  has metdb /usr/bin/metdb /usr/share/man/man1/metdb.1.gz /usr/share/man/man1/metdb-list.1.gz \
    /usr/share/man/man1/metdb-selection-new.1.gz /usr/share/bash-completion/completions/metdb \
    /usr/share/metdb/geo/countries.tsv /usr/share/metdb/geo/countries-50m.bin \
    /usr/share/metdb/geo/README.md /usr/share/metdb/geo/ghcnd-countries.tsv \
    /usr/share/metdb/tz/timezones.bin /usr/share/metdb/tz/zones.tsv /usr/share/doc/metdb/README.md
  field metdb Depends | grep -F "libmetdb1.10 (= $version)" >/dev/null || fail "metdb does not depend on libmetdb1.10"
  if grep -E '\.h$|libmetdb\.so' "$tmp/metdb.files"; then fail "metdb holds library files"; fi
  for licence in MIT ISC LGPL-2.1+ CC-BY-4.0 ODbL-1.0; do
    grep -qx "License: $licence" "$tmp/x/usr/share/doc/metdb/copyright" ||
      fail "the copyright of metdb does not give the $licence licence"
  done
  stripped "$tmp/x/usr/bin/metdb" metdb-dbgsym
fi

# Installed with dpkg into an empty root with an empty dpkg database. The
# dependencies (the C and C++ runtimes) are not in that database, hence
# --force-depends. The maintainer scripts run outside the root (no chroot
# needed, so no root privileges), and the ldconfig they call is a stub: the
# machine's own library cache is never touched.
root=$tmp/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
mkdir "$tmp/bin"
printf '#!/bin/sh\necho "ldconfig $*" >>"%s"\n' "$tmp/ldconfig.calls" >"$tmp/bin/ldconfig"
chmod +x "$tmp/bin/ldconfig"
debs=()
for p in "${packages[@]}"; do debs+=("$(deb "$p" deb)"); done
PATH="$tmp/bin:$PATH" dpkg --root="$root" --log="$tmp/dpkg.log" --force-not-root --force-depends \
  --force-script-chrootless -i "${debs[@]}" >"$tmp/dpkg.out" 2>&1 ||
  { cat "$tmp/dpkg.out" >&2; fail "dpkg -i"; }
for p in "${packages[@]}"; do
  grep -q " status installed $p:[a-z0-9]* $version\$" "$tmp/dpkg.log" || {
    cat "$tmp/dpkg.out" "$tmp/dpkg.log" >&2
    fail "dpkg did not record $p $version as installed"
  }
done

pc=$root$libdir/pkgconfig/metdb.pc
grep -qx 'prefix=/usr' "$pc" || fail "metdb.pc does not name /usr"
# shellcheck disable=SC2016
grep -qxF "libdir=\${prefix}/lib/$multiarch" "$pc" || fail "metdb.pc does not name $libdir"
# Hosts get /usr/include alone as the include directory, and the headers name
# each other under metdb/: the library's own folders are no top-level names.
# (The ${...} below are the files' own text, not shell expansions.)
# shellcheck disable=SC2016
grep -qxF 'Cflags: -I${includedir}' "$pc" || fail "the Cflags of metdb.pc are not -I\${includedir} alone"
# shellcheck disable=SC2016
grep -qF 'INTERFACE_INCLUDE_DIRECTORIES "${_IMPORT_PREFIX}/include"' \
  "$root$libdir/cmake/metdb/metdbTargets.cmake" ||
  fail "metdb::metdb does not give the installation's include folder alone"
grep -qxF '#include "metdb/platform/Export.h"' "$root/usr/include/metdb/common/LocationData.h" ||
  fail "LocationData.h does not include metdb/platform/Export.h"
grep -qxF '#include "metdb/common/LocationData.h"' "$root/usr/include/metdb/datafile/LocationData.h" ||
  fail "datafile/LocationData.h does not forward to metdb/common/LocationData.h"
if grep -rnE '^#[[:space:]]*include[[:space:]]*["<](platform|common|directory|datafile|selection|module)/' \
     "$root/usr/include/metdb" >&2; then
  fail "packaged headers include each other by names outside metdb/"
fi

if [ "$has_tool" = 1 ]; then
  # The installed tool loads the installed library and works on a database.
  loaded=$(ldd "$root/usr/bin/metdb" | awk '$1 == "libmetdb.so.1.10" { print $3 }')
  [ -n "$loaded" ] && [ "$(realpath "$loaded")" = "$root$libdir/libmetdb.so.$version" ] ||
    fail "the installed tool loads '$loaded', not the installed library"
  printf 'name,state,country,continent,latitude,longitude\nHelsinki,Uusimaa,Finland,Europe,60.17,24.94\n' \
    >"$tmp/stations.csv"
  "$root/usr/bin/metdb" --db "$tmp/st.bmt" create "$tmp/stations.csv" >"$tmp/create.out" 2>&1 ||
    { cat "$tmp/create.out" >&2; fail "the installed tool cannot create a database"; }
  "$root/usr/bin/metdb" --db "$tmp/st.bmt" list --format csv --columns name,country >"$tmp/list.out"
  [ "$(tail -n 1 "$tmp/list.out")" = "Helsinki,Finland" ] || fail "the installed tool lists $(cat "$tmp/list.out")"
fi
# A host built from the installed -dev package: the host guide's first
# example, from the package's own copy, against the root's CMake package.
has libmetdb-dev /usr/share/doc/libmetdb-dev/host-guide.md \
  /usr/share/doc/libmetdb-dev/examples/CMakeLists.txt
cmake -S "$root/usr/share/doc/libmetdb-dev/examples" -B "$tmp/host" \
  -DCMAKE_PREFIX_PATH="$root/usr" >"$tmp/host.log" 2>&1 &&
  cmake --build "$tmp/host" --target open_database >>"$tmp/host.log" 2>&1 ||
  { cat "$tmp/host.log" >&2; fail "the host guide's example does not build against the packages"; }
mkdir "$tmp/host-run"
"$tmp/host/open_database" "$tmp/host-run" >"$tmp/host.out" 2>&1 ||
  { cat "$tmp/host.out" >&2; fail "the host guide's example built against the packages failed"; }

if [[ " ${packages[*]} " == *" python3-metdb "* ]]; then
  # The installed module, from the root, with the root's library.
  site=$root/usr/lib/python3/dist-packages
  loaded=$(ldd "$site"/metdb/_metdb*.so | awk '$1 == "libmetdb.so.1.10" { print $3 }')
  [ -n "$loaded" ] && [ "$(realpath "$loaded")" = "$root$libdir/libmetdb.so.$version" ] ||
    fail "the installed Python module loads '$loaded', not the installed library"
  if [ "$has_tool" = 1 ]; then
    PYTHONPATH=$site /usr/bin/python3 - "$tmp/st.bmt" "$site" >"$tmp/python.out" 2>&1 <<'PY' ||
import sys
import metdb
assert metdb.__file__.startswith(sys.argv[2]), metdb.__file__
with metdb.open(sys.argv[1], readonly=True) as db:
    assert [l.name for l in db] == ["Helsinki"]
PY
      { cat "$tmp/python.out" >&2; fail "the installed Python module cannot read the database"; }
  fi
fi
echo "ok: ${packages[*]} ${debug_packages[*]}"
