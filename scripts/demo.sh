#!/usr/bin/env bash
# A short tour of the metdb tool on the sample station list: installs what is
# missing, builds, creates a database from data/stations.csv in a fresh
# temporary folder and runs a few commands on it. The folder is kept, so the
# database can be explored further; its path is printed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}

"$root/scripts/install-deps.sh"

echo "== building"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$jobs" --target metdb_tool >/dev/null
metdb="$root/build/cli/metdb"

work=$(mktemp -d "${TMPDIR:-/tmp}/metdb-demo-XXXXXX")
cd "$work"

# Shows a command as it is typed, then runs it.
step() {
  echo
  printf '$ metdb'
  local a
  for a in "$@"; do
    if [[ $a =~ ^[A-Za-z0-9_.,/=:@+-]+$ ]]; then printf ' %s' "$a"; else printf " '%s'" "$a"; fi
  done
  echo
  "$metdb" "$@"
}

step --db stations.bmt create "$root/data/stations.csv"
step --db stations.bmt info
step --db stations.bmt tree --depth 2
step --db stations.bmt selection new north.sel --title "Europe north of 50" \
  --continent Europe --bbox 50,-180,90,180
step --db stations.bmt list --selection north.sel
step --db stations.bmt export --format json --continent Europe --bbox 59,10,61,30
step --db stations.bmt nearest 60.17 24.94 -k 8 --map helsinki.png
step --db stations.bmt map --continent Europe -o europe.png
step --db stations.bmt export --format geojson --output stations.geojson
step --db stations.bmt compact

echo
echo "The database is in $work (stations.bmt and its directory file stations.dir),"
echo "with the maps europe.png and helsinki.png."
echo "Try: $metdb --db $work/stations.bmt show Europe/Finland/Finland/Helsinki"
