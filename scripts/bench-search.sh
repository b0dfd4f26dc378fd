#!/usr/bin/env bash
# Builds the tool and bench_search in Release in a build folder of their own
# (build-bench/, or $BUILD_DIR) and measures find and nearest end to end
# against info, and find beside SQLite's FTS5, at 10^5 and 10^6 locations,
# printing the tables of docs/performance.md ("Find and nearest, end to end").
# Usage: scripts/bench-search.sh [--quick]
#   --quick: 10^5 locations only, best of 3 (a quarter of a minute); otherwise
#   10^5 and 10^6, best of 5 (about three minutes after the build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}
args=()
case "${1:-}" in
  --quick) args=(--sizes 100000 --repeat 3) ;;
  "") ;;
  *) echo "usage: $0 [--quick]" >&2; exit 1 ;;
esac

"$root/scripts/install-deps.sh"

build=${BUILD_DIR:-"$root/build-bench"}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMETDB_BUILD_TESTS=OFF \
  -DMETDB_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$jobs" --target metdb_tool bench_search >/dev/null

echo "== $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')," \
  "$(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo)," \
  "SQLite $(pkg-config --modversion sqlite3)"
"$build/bench/bench_search" --metdb "$build/cli/metdb" "${args[@]}"
