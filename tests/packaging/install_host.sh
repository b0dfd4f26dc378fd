#!/usr/bin/env bash
# Installs the built library into a fresh temporary prefix, checks what was
# installed, then builds and runs the host program of tests/packaging/host
# against that prefix twice: through the CMake package (find_package(metdb))
# and through pkg-config (metdb.pc). Nothing of the source or build tree is
# on the host's include or library path.
# Usage: install_host.sh BUILD_DIR SOURCE_DIR HAS_TOOL [HOST_CXXFLAGS]
set -euo pipefail
build=$1
source=$2
has_tool=$3
flags=${4:-}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
run() {  # run LOG COMMAND...: quiet unless the command fails
  local log=$1
  shift
  "$@" >"$log" 2>&1 || { cat "$log" >&2; fail "$*"; }
}

prefix=$tmp/prefix
run "$tmp/install.log" cmake --install "$build" --prefix "$prefix"

# The library: real file, SONAME link and development link.
lib=$(find "$prefix" -name libmetdb.so.1.10.0)
[ -n "$lib" ] || fail "libmetdb.so.1.10.0 is not installed"
libdir=$(dirname "$lib")
[ "$(readlink "$libdir/libmetdb.so.1.10")" = libmetdb.so.1.10.0 ] || fail "no libmetdb.so.1.10 link"
[ "$(readlink "$libdir/libmetdb.so")" = libmetdb.so.1.10 ] || fail "no libmetdb.so link"
soname=$(objdump -p "$lib" | awk '$1 == "SONAME" { print $2 }')
[ "$soname" = libmetdb.so.1.10 ] || fail "SONAME is '$soname'"

# The headers: every header of the public folders but the library's own
# bookkeeping, in its folder, and the umbrella header.
include=$prefix/include
internal=" datafile/DatabaseState.h datafile/DirectoryMerge.h datafile/SharedLock.h datafile/WriteAccess.h "
for h in $(cd "$source" && ls datafile/*.h directory/*.h selection/*.h module/*.h 2>/dev/null); do
  case "$internal" in
    *" $h "*) [ ! -e "$include/metdb/$h" ] || fail "$h is internal but installed" ;;
    *) [ -f "$include/metdb/$h" ] || fail "$h is not installed" ;;
  esac
done
[ -f "$include/metdb/metdb.h" ] || fail "metdb/metdb.h is not installed"
for h in $(cd "$include/metdb" && find . -name '*.h' ! -name metdb.h | sed 's|^\./||'); do
  grep -qxF "#include \"$h\"" "$include/metdb/metdb.h" || fail "metdb.h does not include $h"
done

# The tool and its man page.
if [ "$has_tool" = 1 ]; then
  run "$tmp/tool.log" "$prefix/bin/metdb" --help
  zcat "$prefix/share/man/man1/metdb.1.gz" | grep '^\.TH METDB "1"' >/dev/null || fail "no metdb(1) man page"
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
run "$tmp/cmake-build.log" cmake --build "$tmp/host-cmake"
run_host "$tmp/host-cmake/metdb_host" find_package

# 2. pkg-config, seeing only the temporary installation.
export PKG_CONFIG_LIBDIR=$libdir/pkgconfig
[ "$(pkg-config --modversion metdb)" = 1.10.0 ] || fail "pkg-config does not know metdb 1.10.0"
# shellcheck disable=SC2046,SC2086
run "$tmp/pc-build.log" c++ -std=c++17 -Wall -Wextra -Werror $flags \
  $(pkg-config --cflags metdb) "$source/tests/packaging/host/main.cc" -o "$tmp/host-pc" \
  $(pkg-config --libs metdb) -Wl,-rpath,"$(pkg-config --variable=libdir metdb)"
run_host "$tmp/host-pc" pkg-config
