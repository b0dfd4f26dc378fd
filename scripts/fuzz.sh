#!/usr/bin/env bash
# Runs one fuzz target for a while: scripts/fuzz.sh [--no-build] TARGET SECONDS
# Builds them (all, or the ones named) and runs none:
#   scripts/fuzz.sh --build [TARGET...]
#
# TARGET is one of directory, selection, profile, database, csv, lists
# (fuzz/). The target is built first, with clang and every object
# instrumented, in build-fuzz/ (--no-build skips that, for callers that
# built them already).
# The run starts from the seeds in fuzz/corpus/TARGET and what earlier runs
# kept in build-fuzz/corpus/TARGET; an input that fails is saved in
# build-fuzz/artifacts/TARGET/ and the whole output is in
# build-fuzz/logs/TARGET.log. Exits non-zero on a crash, a leak, an input
# that runs longer than 10 s, undefined behaviour, or a file left behind.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"

targets=(directory selection profile database csv lists)

# Configures build-fuzz/ and builds the named fuzz targets.
build_targets() {
  # Line tables only: a crash's stack still names files and lines, and the
  # build takes a good part less time than with full debug information.
  cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -gline-tables-only" \
    -DMETDB_FUZZ=ON -DMETDB_BUILD_TESTS=OFF -DMETDB_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" -j"$(nproc)" --target "${@/#/fuzz_}"
}

if [ "${1:-}" = "--build" ]; then
  shift
  if [ $# -eq 0 ]; then
    build_targets "${targets[@]}"
  else
    build_targets "$@"
  fi
  exit 0
fi
build_first=1
if [ "${1:-}" = "--no-build" ]; then
  build_first=0
  shift
fi
if [ $# -ne 2 ]; then
  echo "usage: $0 [--no-build] TARGET SECONDS | $0 --build [TARGET...]" >&2
  exit 2
fi
target=$1
seconds=$2
if [ ! -d "$root/fuzz/corpus/$target" ]; then
  echo "$0: no fuzz target \"$target\" (one of ${targets[*]})" >&2
  exit 2
fi
[ "$build_first" = 1 ] && build_targets "$target"

corpus="$build/corpus/$target"
artifacts="$build/artifacts/$target"
log="$build/logs/$target.log"
mkdir -p "$corpus" "$artifacts" "$build/logs"
# The targets' temporary folders go here: on a memory file system when there
# is one, as the directory and data file writers sync every file.
base=/dev/shm
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
scratch=$(mktemp -d "$base/metdb-fuzz-$target-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

dict=()
[ -f "$root/fuzz/$target.dict" ] && dict=("-dict=$root/fuzz/$target.dict")
status=0
TMPDIR="$scratch" ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$artifacts/" "${dict[@]}" \
  "$corpus" "$root/fuzz/corpus/$target" >"$log" 2>&1 || status=$?

runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
cov=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 || true)
if [ "$status" -ne 0 ]; then
  tail -n 60 "$log"
  echo "fuzz $target: FAILED (exit $status) after ${runs:-?} runs; inputs in $artifacts" >&2
  exit 1
fi
if [ -n "$(ls -A "$scratch")" ]; then
  ls -lA "$scratch"
  echo "fuzz $target: FAILED: files left in the temporary folder" >&2
  exit 1
fi
echo "fuzz $target: ${runs:-?} runs in ${seconds} s, $cov, corpus $(ls "$corpus" | wc -l) files"
