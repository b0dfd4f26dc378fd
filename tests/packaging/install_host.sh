#!/usr/bin/env bash
# Installs the built library into a fresh temporary prefix, checks what was
# installed, then builds and runs the host program of tests/packaging/host
# against that prefix twice: through the CMake package (find_package(metdb))
# and through pkg-config (metdb.pc). Nothing of the source or build tree is
# on the host's include or library path, and of the prefix only PREFIX/include
# is: hosts name the headers <metdb/...>, and the library's own folders
# (datafile/, platform/, ...) must not resolve as top-level names.
# Usage: install_host.sh BUILD_DIR SOURCE_DIR HAS_TOOL [HOST_CXXFLAGS]
set -euo pipefail
# Pipes end in grep without -q: grep -q stops at the first match, and the
# writer, killed by SIGPIPE, would fail the pipeline now and then.
build=$1
source=$2
has_tool=$3
flags=${4:-}
# shellcheck source=tests/packaging/common.sh
source "$(dirname "$0")/common.sh"

prefix=$tmp/prefix
run "$tmp/install.log" cmake --install "$build" --prefix "$prefix"

# The library: real file, SONAME link and development link.
lib=$(find "$prefix" -name libmetdb.so.1.10.0)
[ -n "$lib" ] || fail "libmetdb.so.1.10.0 is not installed"
libdir=$(dirname "$lib")
# On a multiarch system the library goes to lib/<triplet> whatever the prefix.
multiarch=$(c++ -print-multiarch 2>/dev/null || true)
[ -z "$multiarch" ] || [ "$libdir" = "$prefix/lib/$multiarch" ] ||
  fail "the library is installed in $libdir, not $prefix/lib/$multiarch"
[ "$(readlink "$libdir/libmetdb.so.1.10")" = libmetdb.so.1.10.0 ] || fail "no libmetdb.so.1.10 link"
[ "$(readlink "$libdir/libmetdb.so")" = libmetdb.so.1.10 ] || fail "no libmetdb.so link"
soname=$(objdump -p "$lib" | awk '$1 == "SONAME" { print $2 }')
[ "$soname" = libmetdb.so.1.10 ] || fail "SONAME is '$soname'"

# The headers: exactly the public headers that the build lists
# (metdb-public-headers.txt, written from cmake/MetdbPackaging.cmake), each in
# its folder under include/metdb, and the umbrella header including each of
# them by its name under metdb/.
include=$prefix/include
listed=$build/metdb-public-headers.txt
[ -s "$listed" ] || fail "$listed is missing: configure the build again"
mapfile -t public <"$listed"
[ -f "$include/metdb/metdb.h" ] || fail "metdb/metdb.h is not installed"
for h in "${public[@]}"; do
  [ -f "$include/metdb/$h" ] || fail "$h is not installed"
  grep -qxF "#include \"metdb/$h\"" "$include/metdb/metdb.h" || fail "metdb.h does not include metdb/$h"
done
installed=$(cd "$include/metdb" && find . -type f ! -path ./metdb.h | sed 's|^\./||' | sort)
expected=$(printf '%s\n' "${public[@]}" | sort)
[ "$installed" = "$expected" ] || {
  diff <(echo "$expected") <(echo "$installed") >&2 || true
  fail "the installed headers (>) are not the listed ones (<)"
}
# The library's own bookkeeping is never installed; every other header of the
# four public folders is, so that a header added there without being listed
# (or named internal here) shows up.
internal=" datafile/DatabaseState.h datafile/DirectoryMerge.h datafile/SharedLock.h datafile/StationCarry.h datafile/StationFileWrite.h datafile/WriteAccess.h "
for h in $internal; do
  [ ! -e "$include/metdb/$h" ] || fail "$h is internal but installed"
done
for h in $(cd "$source" && ls datafile/*.h directory/*.h selection/*.h module/*.h 2>/dev/null); do
  case "$internal" in
    *" $h "*) ;;
    *) grep -qxF "$h" "$listed" ||
         fail "$h is neither a listed public header (cmake/MetdbPackaging.cmake) nor internal" ;;
  esac
done

# The installed headers name each other under metdb/ only, and each compiles
# on its own with the installation's include/ as the only include directory.
if grep -rnE '^#[[:space:]]*include[[:space:]]*["<](platform|common|directory|datafile|selection|module)/' \
     "$include/metdb" >&2; then
  fail "installed headers include each other by names outside metdb/"
fi
mkdir "$tmp/alone"
for h in metdb.h "${public[@]}"; do
  printf '#include <metdb/%s>\n' "$h" >"$tmp/alone/$(echo "$h" | tr / _).cc"
done
run "$tmp/alone.log" c++ -std=c++17 -Wall -Wextra -Werror -fsyntax-only -I"$include" "$tmp"/alone/*.cc
# The library's source layout is not on that include path: no header resolves
# by its rooted name ("datafile/BMTFile.h"), which would put platform/,
# module/ and the like on every host's path.
mkdir "$tmp/rooted"
for h in "${public[@]}"; do
  printf '#include "%s"\n' "$h" >"$tmp/rooted/probe.cc"
  if c++ -std=c++17 -fsyntax-only -I"$include" "$tmp/rooted/probe.cc" >"$tmp/rooted.log" 2>&1; then
    fail "#include \"$h\" compiles against the installation"
  fi
done

# The tool, its manual pages, its completion and its reference data, with the
# README that names the data's sources and licences.
if [ "$has_tool" = 1 ]; then
  run "$tmp/tool.log" "$prefix/bin/metdb" --help
  for page in metdb metdb-create metdb-list metdb-selection-new; do
    title=${page^^}
    zcat "$prefix/share/man/man1/$page.1.gz" | grep -F ".TH ${title//-/\\-} 1 " >/dev/null ||
      fail "no $page(1) man page"
  done
  [ -s "$prefix/share/bash-completion/completions/metdb" ] || fail "no bash completion"
  grep -qx 'License: CC-BY-4.0' "$prefix/share/doc/metdb/copyright" ||
    fail "share/doc/metdb/copyright does not give the reference data's licences"
  for f in countries.tsv countries-110m.bin countries-50m.bin countries-extra.bin land-110m.bin land-50m.bin README.md; do
    cmp -s "$source/data/geo/$f" "$prefix/share/metdb/geo/$f" || fail "share/metdb/geo/$f is not installed"
  done
  for f in geo/ghcnd-countries.tsv geo/ghcnd-states.tsv tz/timezones.bin tz/zones.tsv tz/README.md; do
    cmp -s "$source/data/$f" "$prefix/share/metdb/$f" || fail "share/metdb/$f is not installed"
  done
fi

# Runs a host binary in a fresh folder and expects all its checks to pass.
run_host() {
  local host=$1 name=$2
  ldd "$host" | grep "=> $libdir/libmetdb.so.1.10 " >/dev/null || {
    ldd "$host" >&2
    fail "$name host does not load the installed library"
  }
  mkdir "$tmp/run-$name"
  (cd "$tmp/run-$name" && "$host" "$tmp/run-$name/host.bmt") >"$tmp/$name.out" 2>&1 || {
    cat "$tmp/$name.out" >&2
    fail "$name host failed"
  }
  echo "== host built with $name"
  cat "$tmp/$name.out"
}

# 1. find_package(metdb) with the prefix on CMAKE_PREFIX_PATH.
run "$tmp/cmake.log" cmake -S "$source/tests/packaging/host" -B "$tmp/host-cmake" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_BUILD_TYPE=Debug
grep -q "^metdb_DIR:PATH=$libdir/cmake/metdb\$" "$tmp/host-cmake/CMakeCache.txt" ||
  fail "find_package did not find the temporary installation"
# metdb::metdb gives the installation's include/ and nothing else (the host
# reports its include directories while configuring).
grep -qxF -- "-- metdb::metdb include directories: $include" "$tmp/cmake.log" || {
  grep -F 'metdb::metdb include directories' "$tmp/cmake.log" >&2 || true
  fail "metdb::metdb does not give $include alone as its include directory"
}
run "$tmp/cmake-build.log" cmake --build "$tmp/host-cmake"
run_host "$tmp/host-cmake/metdb_host" find_package

# 2. pkg-config, seeing only the temporary installation.
export PKG_CONFIG_LIBDIR=$libdir/pkgconfig
[ "$(pkg-config --modversion metdb)" = 1.10.0 ] || fail "pkg-config does not know metdb 1.10.0"
read -r -a cflags <<<"$(pkg-config --cflags metdb)"
[ "${cflags[*]}" = "-I$include" ] ||
  fail "pkg-config --cflags metdb gives '${cflags[*]}', not -I$include alone"
# shellcheck disable=SC2046,SC2086
run "$tmp/pc-build.log" c++ -std=c++17 -Wall -Wextra -Werror $flags \
  $(pkg-config --cflags metdb) "$source/tests/packaging/host/main.cc" -o "$tmp/host-pc" \
  $(pkg-config --libs metdb) -Wl,-rpath,"$(pkg-config --variable=libdir metdb)"
run_host "$tmp/host-pc" pkg-config
