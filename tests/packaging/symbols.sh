#!/usr/bin/env bash
# Fails when libmetdb.so exports a symbol outside its public interface: every
# defined dynamic symbol, demangled, must match a pattern of the allow list.
# Usage: symbols.sh LIBRARY ALLOWLIST
set -euo pipefail
library=$1
allowlist=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

classes='(LocationData|VELDstring|Location|State|Country|Continent|Directory|MetDatabase|BMTFile|InfoDevice|TLocList|TLocationSelection|TLocationIterator|WorkingDirectory|MetDatabaseLock|StationFile)'
grep -v -e '^#' -e '^$' "$allowlist" | sed "s/@CLASS@/$classes/g" >"$tmp/patterns"

# "ADDRESS TYPE NAME": keep the name, which may hold blanks.
nm -D --defined-only -C "$library" | sed -E 's/^[0-9a-fA-F]* +[A-Za-z] +//' | sort -u >"$tmp/symbols"

if ! grep -qxF 'LocationData::LocationData()' "$tmp/symbols"; then
  echo "FAIL: LocationData::LocationData() is not exported; nm listed:" >&2
  cat "$tmp/symbols" >&2
  exit 1
fi
if grep -Ev -f "$tmp/patterns" "$tmp/symbols" >"$tmp/unexpected"; then
  echo "FAIL: $library exports symbols outside the public interface:" >&2
  cat "$tmp/unexpected" >&2
  exit 1
fi
echo "$(wc -l <"$tmp/symbols") exported symbols, all public"
