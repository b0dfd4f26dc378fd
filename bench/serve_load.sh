#!/usr/bin/env bash
# The load benchmark of metdb serve: a database of LOCATIONS synthetic
# locations (default 10^6), the server on a free loopback port, and
# bench_serve_load's CLIENTS (64) for SECONDS (30) while another process
# compacts the database and adds a location, in turn, again and again
# beside it (a compaction first: at 10^6 an add's content check takes most
# of a run).
#
#   bench/serve_load.sh [BUILD_DIR] [LOCATIONS] [SECONDS] [CLIENTS]
#
# With METDB_LOAD_DB=DATAFILE, a copy of that database (one that this
# script made before, of LOCATIONS locations) stands in for a new one: the
# create, with its content check, takes minutes at 10^6.
#
# With METDB_SERVE_ARGS, more options for serve (e.g. "--workers 1024", one
# worker per connection as before the server's work gate).
#
# Prints the load's table (requests per second, p50/p99 per kind, failures)
# and how many adds and compactions ran. docs/performance.md has figures.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
n=${2:-1000000}
seconds=${3:-30}
clients=${4:-64}
metdb="$build/cli/metdb"
work=$(mktemp -d)
server=""
writer=""
cleanup() {
  [ -n "$writer" ] && kill "$writer" 2>/dev/null || true
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if [ -n "${METDB_LOAD_DB:-}" ]; then
  cp -p "$METDB_LOAD_DB" "$work/l.bmt"
  cp -p "${METDB_LOAD_DB%.*}.dir" "$work/l.dir"
else
python3 - "$n" > "$work/l.csv" <<'PY'
import sys
n = int(sys.argv[1])
countries = [("Norway", "Europe"), ("Chile", "South America"), ("Japan", "Asia"),
             ("Kenya", "Africa"), ("Canada", "North America"), ("Fiji", "Pacific Ocean")]
print("name,state,country,continent,level,latitude,longitude")
for i in range(n):
    c = countries[i % len(countries)]
    lat = -80 + (i * 0.61803398875 % 1) * 160
    lon = -180 + (i * 0.7548776662 % 1) * 360
    print("P%d,S%d,%s,%s,%d,%.4f,%.4f" % (i, i % 500, c[0], c[1], 1 + i % 4, lat, lon))
PY
start=$(date +%s.%N)
"$metdb" --db "$work/l.bmt" create "$work/l.csv" > /dev/null
echo "create: $(echo "$(date +%s.%N) - $start" | bc) s for $n locations"
fi

mkfifo "$work/ready"
start=$(date +%s.%N)
# shellcheck disable=SC2086 # METDB_SERVE_ARGS holds several options
"$metdb" --db "$work/l.bmt" serve --port 0 ${METDB_SERVE_ARGS:-} > "$work/ready" 2> "$work/serve.err" &
server=$!
exec 3< "$work/ready"
read -r line <&3
echo "serve: ready in $(echo "$(date +%s.%N) - $start" | bc) s: $line"
url=$(echo "$line" | sed 's/.* at \(http:[^ ]*\)\/$/\1/')

(
  adds=0
  compactions=0
  end=$(( $(date +%s) + seconds ))
  while [ "$(date +%s)" -lt "$end" ]; do
    "$metdb" --db "$work/l.bmt" compact > /dev/null
    compactions=$((compactions + 1))
    [ "$(date +%s)" -lt "$end" ] || break
    "$metdb" --db "$work/l.bmt" add --name "Added$adds" --state X --country Norway \
      --continent Europe --latitude 60 --longitude 10 > /dev/null
    adds=$((adds + 1))
  done
  echo "beside the load: $adds adds, $compactions compactions" > "$work/writer.out"
) &
writer=$!

"$build/bench/bench_serve_load" "$url" "$seconds" "$clients" "$n" || status=$?
wait "$writer" || true
writer=""
cat "$work/writer.out" 2>/dev/null || true
echo "server: $(grep -c 'Read the database again' "$work/serve.err" || true) reloads," \
  "$(grep -c 'Kept the previous state' "$work/serve.err" || true) kept"
exit "${status:-0}"
