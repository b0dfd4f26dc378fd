#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole suite twice: a
# normal optimised build (build/) and an AddressSanitizer +
# UndefinedBehaviorSanitizer build (build-asan/); runs the library's test
# programs of the normal build once more under valgrind memcheck, and the
# library's fuzz targets briefly (build-fuzz/, scripts/fuzz.sh). Exits
# non-zero on the first failure. On CI's 2 cores the whole run is to stay
# under half an hour.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/install-deps.sh"

echo "== [${SECONDS}s] normal build"
# Optimised without debug information: a third less compile time than
# RelWithDebInfo (the packaging check then sees a build without -dbgsym
# packages, and checks that its binaries hold no debug information).
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  >/dev/null
cmake --build "$root/build" -j"$jobs"
ctest --test-dir "$root/build" --output-on-failure -j"$jobs"

echo "== [${SECONDS}s] AddressSanitizer + UndefinedBehaviorSanitizer build"
# Line tables (-g1) are all a sanitizer's report needs for file and line.
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
  -DMETDB_SANITIZE=ON -DMETDB_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build-asan" -j"$jobs"
# Left to the normal build: the tests that drive real clients (GDAL over
# HTTP, Chromium) against the server, which would spend minutes in the
# clients while the server's code is checked by the web tests without them;
# and the packaging checks of the installed files, manual pages and bash
# completion, which run cmake and the tool's --help rather than the
# library's work (the host examples still run here, against the sanitized
# library).
# Left to the normal build as well: the longest runs of many tool processes
# (readers beside a writer, every command's wrong arguments, appends beside
# a compaction, kills at random moments, the planted faults, every injected
# failure, a concurrent import), 15 to 35 s each here, whose code the
# sanitized tool runs in the other tests.
heavy='^SeveralProcessesTest\.(ReadersBesideAWriter|HostAppendsKeepTheirIndices)|^ToolProgramTest\.EveryCommandReportsWrongArguments|^FailureSafetyTest\.KilledAtRandomMoments|^content\.planted_faults$|^PowerCutTest\.EveryInjectedFailure|^Kinds/ConcurrentEditTest\.EveryCommandTakesEffect/import$'
# The fault sweeps inject a full disk at 6 points of each operation here
# rather than 48: each point runs the sanitized tool, and the normal build
# ran all of them.
METDB_FAULT_TRIALS=6 ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j"$jobs" \
  -E '^ServeTest\.(GdalReadsEveryFeature|MapPageFinds)|^packaging\.(install_host|man_pages|completion)$|'"$heavy"

# The test programs of the library that hosts load (directory, data file,
# selection, module, platform) run whole under valgrind, which also sees
# reads of uninitialised memory that the sanitizers do not (one start-up per
# program, not per test; forked children are checked too). The tool's
# programs (tool, cli, web, faults, hostile, concurrency) are left to the
# sanitizer build: under valgrind they took most of CI's time. The packaging
# tests drive cmake, cpack and dpkg rather than the library and are left out.
echo "== [${SECONDS}s] valgrind memcheck of the normal build's test programs"
for t in directory datafile selection module platform; do echo "$root/build/tests/metdb_${t}_tests"; done |
  xargs -P"$jobs" -I{} bash -c '
  log="$1.valgrind.log"
  if valgrind --quiet --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect \
      --suppressions="$2" \
      --trace-children=no --track-fds=no "$1" --gtest_brief=1 >"$log" 2>&1; then
    echo "valgrind: $(basename "$1") clean"
  else
    tail -n 100 "$log"
    echo "valgrind: $(basename "$1") FAILED, see $log" >&2
    exit 1
  fi' _ {} "$root/scripts/valgrind.supp"

# The library's own readers are fuzzed here, 20 s each; the targets over the
# tool's library (database, csv, lists) need a clang build of all of it,
# which would take CI minutes: scripts/fuzz.sh runs them (and these) for as
# long as one likes.
echo "== [${SECONDS}s] fuzz targets of the library, 20 s each, two at a time"
fuzzed=(directory selection profile)
"$root/scripts/fuzz.sh" --build "${fuzzed[@]}"
printf '%s\n' "${fuzzed[@]}" |
  xargs -P"$jobs" -I{} "$root/scripts/fuzz.sh" --no-build {} 20
