#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole suite twice: a
# normal optimised build (build/) and an AddressSanitizer +
# UndefinedBehaviorSanitizer build (build-asan/); runs the normal build's
# suite once more under valgrind memcheck, and every fuzz target briefly
# (build-fuzz/, scripts/fuzz.sh). Exits non-zero on the first failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/install-deps.sh"

echo "== [${SECONDS}s] normal build"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$jobs"
ctest --test-dir "$root/build" --output-on-failure -j"$jobs"

echo "== [${SECONDS}s] AddressSanitizer + UndefinedBehaviorSanitizer build"
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DMETDB_SANITIZE=ON \
  -DMETDB_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build-asan" -j"$jobs"
# The tests that drive real clients (GDAL over HTTP, Chromium) against the
# server ran in the normal build; here they would spend minutes in the
# clients, and the server's code is checked by the web tests without them.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j"$jobs" \
  -E '^ServeTest\.(GdalReadsEveryFeature|MapPageFinds)'

# Each test program runs whole under valgrind (one start-up per program, not
# per test). Forked children are checked too; programs the tests execute (the
# built tool, run as a user would run it) are not traced, as their code is
# the tool's core, which its tests also run in-process under valgrind, and
# tracing every tool run would take most of CI's time. The packaging tests
# drive cmake, cpack and dpkg rather than the library and are left out.
echo "== [${SECONDS}s] valgrind memcheck of the normal build's test programs"
ls "$root"/build/tests/metdb_*_tests | xargs -P"$jobs" -I{} bash -c '
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

echo "== [${SECONDS}s] fuzz targets, 30 s each, two at a time"
"$root/scripts/fuzz.sh" --build
printf '%s\n' directory selection profile database csv lists |
  xargs -P"$jobs" -I{} "$root/scripts/fuzz.sh" --no-build {} 30
