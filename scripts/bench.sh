#!/usr/bin/env bash
# Builds the benchmarks in Release in a build folder of their own
# (build-bench/) and runs the comparison of metdb with SQLite and the
# physical floor, printing its table (docs/performance.md explains it).
# Usage: scripts/bench.sh [--quick]
#   --quick: 10^4 and 10^5 records only (under a minute); otherwise also 10^6.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}
args=()
case "${1:-}" in
  --quick) args=(--quick) ;;
  "") ;;
  *) echo "usage: $0 [--quick]" >&2; exit 1 ;;
esac

"$root/scripts/install-deps.sh"

build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMETDB_BUILD_TESTS=OFF \
  -DMETDB_BUILD_BENCH=ON >/dev/null
targets=$(cd "$root/bench" && ls *.cc | sed 's/^/bench_/; s/\.cc$//')
# shellcheck disable=SC2086
cmake --build "$build" -j"$jobs" --target $targets >/dev/null

echo "== $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')," \
  "$(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo)"
"$build/bench/bench_comparison" "${args[@]}"
