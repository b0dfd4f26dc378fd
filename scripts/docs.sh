#!/usr/bin/env bash
# Builds the API documentation of the installed public headers with Doxygen
# (docs/Doxyfile) into build/docs/html, or into OUTPUT_DIR/html when given.
# Fails, after listing them, on any warning: an undocumented class, member or
# operation, or a malformed comment.
# Usage: scripts/docs.sh [OUTPUT_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/docs}
command -v doxygen >/dev/null || {
  echo "doxygen not found: scripts/install-deps.sh installs it" >&2
  exit 1
}

# The same headers as the installation: the four public folders but the
# library's own bookkeeping, and the platform headers listed in
# cmake/platform-public-headers.txt.
cd "$root"
internal='^datafile/(DatabaseState|DirectoryMerge|SharedLock|WriteAccess)\.h$'
headers=$(ls datafile/*.h directory/*.h selection/*.h module/*.h 2>/dev/null | grep -Ev "$internal" || true)
headers="$headers $(grep '^platform/' cmake/platform-public-headers.txt)"

mkdir -p "$out"
rm -rf "$out/html"
status=0
METDB_DOCS_INPUT=$(echo $headers) METDB_DOCS_OUTPUT=$out METDB_SOURCE_DIR=$root \
  doxygen docs/Doxyfile 2>"$out/warnings.log" || status=$?
if [ -s "$out/warnings.log" ] || [ "$status" -ne 0 ]; then
  cat "$out/warnings.log" >&2
  echo "docs: $(grep -cE ': (warning|error): ' "$out/warnings.log" || true) warnings (see above)" >&2
  exit 1
fi
echo "docs: $out/html/index.html"
