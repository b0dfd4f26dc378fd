#!/usr/bin/env bash
# create from a published list and check --content at 10^6 locations, beside
# a plain export of the same database: scripts/bench-content.sh [METDB]
#
# The list is GeoNames' cities15000.txt of Debian's libtimezonemap-data
# (23,461 cities), repeated with the positions moved by up to 0.02° and a
# number after each repeated name until it holds 10^6 rows, so that the
# locations lie in their countries and cluster as real stations do. Each
# command runs three times; the best wall time and the CPU time (user +
# system) of that run are printed. Uses a temporary folder, removed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
metdb=${1:-$root/build/cli/metdb}
cities=/usr/share/libtimezonemap/ui/cities15000.txt
[ -x "$metdb" ] || { echo "no metdb at $metdb (build first)" >&2; exit 1; }
[ -f "$cities" ] || { echo "$cities is missing (scripts/install-deps.sh)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$cities" "$work/cities1m.txt" <<'PY'
import random, sys
random.seed(7)
rows = [l.rstrip("\n").split("\t") for l in open(sys.argv[1], encoding="utf-8")]
with open(sys.argv[2], "w", encoding="utf-8") as out:
    n, k = 0, 0
    while n < 1000000:
        for r in rows:
            if n >= 1000000:
                break
            f = list(r)
            if k > 0:
                f[1] = f[1][:14] + " " + str(k)
                f[4] = "%.5f" % (float(f[4]) + random.uniform(-0.02, 0.02))
                f[5] = "%.5f" % (float(f[5]) + random.uniform(-0.02, 0.02))
            out.write("\t".join(f) + "\n")
            n += 1
        k += 1
PY

# Runs the command three times; prints the best wall time and its CPU time.
best() {
  local label=$1
  shift
  local bestWall="" bestCpu=""
  for _ in 1 2 3; do
    # check exits with 1 when it finds a fault: that is no failure here.
    /usr/bin/time -o "$work/time" -f "%e %U %S" "$@" >/dev/null 2>&1 || true
    read -r wall user sys < <(tail -n 1 "$work/time")
    local cpu
    cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')
    if [ -z "$bestWall" ] || awk -v a="$wall" -v b="$bestWall" 'BEGIN { exit !(a < b) }'; then
      bestWall=$wall
      bestCpu=$cpu
    fi
  done
  printf '%-40s %8s s wall %8s s CPU\n' "$label" "$bestWall" "$bestCpu"
}

cd "$work"
"$metdb" --db c.bmt create cities1m.txt >/dev/null 2>&1 || true
best "export --format csv (10^6)" "$metdb" --db c.bmt export --format csv --output e.csv
best "create from GeoNames (10^6)" "$metdb" --db c.bmt create cities1m.txt --force
best "check --content (10^6)" "$metdb" --db c.bmt check --content
