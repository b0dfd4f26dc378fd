#!/usr/bin/env bash
# Keeps docs/host-guide.md and examples/ in step. Every code block of the
# guide stands right after a marker line naming the file it is taken from,
#   <!-- example: examples/NAME -->
# and its lines appear in that file as they stand, one after the other. Every
# example program is quoted, built by examples/CMakeLists.txt and has its
# expected output in examples/expected/NAME.txt.
# Usage: host_guide.sh SOURCE_DIR
set -euo pipefail
source=$1
guide=$source/docs/host-guide.md
# shellcheck source=tests/packaging/common.sh
source "$(dirname "$0")/common.sh"
[ -f "$guide" ] || fail "$guide is missing"

# Splits the guide into blocks: $tmp/block.N holds the lines of block N and
# $tmp/blocks lists "N FILE LINE" (LINE: the block's first line in the guide;
# FILE "-" when no marker stands right before the fence).
awk -v dir="$tmp" '
  /^<!-- example: [^ ]+ -->$/ { marker = $3; markerLine = NR; next }
  /^```/ {
    if (!inBlock) {
      inBlock = 1; n++
      file = (markerLine == NR - 1) ? marker : "-"
      printf "%d %s %d\n", n, file, NR + 1 > (dir "/blocks")
      printf "" > (dir "/block." n)
      next
    }
    inBlock = 0; next
  }
  inBlock { print > (dir "/block." n) }
' "$guide"
[ -s "$tmp/blocks" ] || fail "the guide has no code blocks"

# Whether the lines of $1 appear, one after the other, in $2.
contains() {
  awk 'NR == FNR { want[++n] = $0; next }
       { have[++m] = $0 }
       END {
         for (i = 1; i + n - 1 <= m; i++) {
           for (j = 1; j <= n && have[i + j - 1] == want[j]; j++) {}
           if (j > n) exit 0
         }
         exit 1
       }' "$1" "$2"
}

quoted=" "
while read -r n file line; do
  [ "$file" != - ] || fail "docs/host-guide.md, line $line: a code block without an example marker before it"
  [ -f "$source/$file" ] || fail "docs/host-guide.md, line $line: $file does not exist"
  [ -s "$tmp/block.$n" ] || fail "docs/host-guide.md, line $line: an empty code block"
  contains "$tmp/block.$n" "$source/$file" ||
    fail "docs/host-guide.md, line $line: the block is not in $file as it stands there"
  quoted="$quoted$file "
done <"$tmp/blocks"

for program in "$source"/examples/*.cc; do
  name=$(basename "$program" .cc)
  case "$quoted" in
    *" examples/$name.cc "*) ;;
    *) fail "examples/$name.cc is not quoted in docs/host-guide.md" ;;
  esac
  grep -qw "$name" "$source/examples/CMakeLists.txt" || fail "examples/CMakeLists.txt does not build $name"
  [ -f "$source/examples/expected/$name.txt" ] || fail "examples/expected/$name.txt is missing"
done
echo "docs/host-guide.md: $(wc -l <"$tmp/blocks") code blocks agree with examples/"
