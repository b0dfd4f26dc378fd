#!/usr/bin/env bash
# Installs the build into a fresh temporary prefix, builds the host guide's
# examples (examples/) against it through find_package(metdb), and runs each
# in a fresh folder of its own, which it gets as its argument and current
# directory. Each must exit 0, print exactly examples/expected/NAME.txt, and
# leave no file outside its folder's database (nothing such as metdata.bmt
# in the current directory).
# Usage: examples.sh BUILD_DIR SOURCE_DIR [HOST_CXXFLAGS]
set -euo pipefail
build=$1
source=$2
flags=${3:-}
# shellcheck source=tests/packaging/common.sh
source "$(dirname "$0")/common.sh"

prefix=$tmp/prefix
run "$tmp/install.log" cmake --install "$build" --prefix "$prefix"
run "$tmp/cmake.log" cmake -S "$source/examples" -B "$tmp/examples" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_BUILD_TYPE=Debug
run "$tmp/build.log" cmake --build "$tmp/examples"

count=0
for expected in "$source"/examples/expected/*.txt; do
  name=$(basename "$expected" .txt)
  program=$tmp/examples/$name
  [ -x "$program" ] || fail "examples/$name.cc was not built"
  folder=$tmp/run-$name
  mkdir "$folder"
  status=0
  (cd "$folder" && "$program" "$folder") >"$tmp/$name.out" 2>"$tmp/$name.err" || status=$?
  [ "$status" = 0 ] || {
    cat "$tmp/$name.out" "$tmp/$name.err" >&2
    fail "$name exited with status $status"
  }
  diff -u "$expected" "$tmp/$name.out" >&2 || fail "$name did not print examples/expected/$name.txt"
  # What a run may leave: its databases (data, directory and lock files)
  # and its selection file.
  stray=$(cd "$folder" && ls -A | grep -vE '^[a-z_-]+\.(bmt|dir|bmt\.lock|sel)$' || true)
  [ -z "$stray" ] || fail "$name left $stray behind"
  [ ! -e "$folder/metdata.bmt" ] || fail "$name made metdata.bmt in its current directory"
  count=$((count + 1))
done
[ "$count" -gt 0 ] || fail "no examples were run"
echo "$count examples built against the installation ran as expected"
