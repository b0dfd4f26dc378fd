#!/usr/bin/env bash
# Checks the manual pages that the build wrote for the metdb tool against
# the tool's own --help: a page metdb-COMMAND(1) for every command that runs
# on its own (metdb-selection-new(1) for "selection new") and metdb(1) naming
# each, every page well-formed for groff (no warning) with the usual
# sections, and every example of the command's --help on a line of its own
# in the formatted page, as typed.
# Usage: man_pages.sh TOOL MAN_DIR
set -euo pipefail
# Pipes end in grep without -q: grep -q stops at the first match, and the
# writer, killed by SIGPIPE, would fail the pipeline now and then.
tool=$1
man=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}

# The subcommands that `TOOL WORDS... --help` lists.
subcommands() {
  "$tool" "$@" --help | awk '/^Subcommands:/ { on = 1; next } on && /^$/ { exit } on { print $1 }'
}
# The examples of `TOOL WORDS... --help`, a line each, continuation lines
# (after a line ending in a backslash) left out.
examples() {
  "$tool" "$@" --help | awk '/^Examples?:$/ { on = 1; next }
    on && /^  [^ ]/ && !continued { sub(/^  /, ""); print }
    on { continued = /\\$/ }'
}
# render PAGE: the page as text without fonts, with lines long enough that
# no sentence wraps.
render() {
  zcat "$man/$1.1.gz" | groff -man -Tutf8 -P-cbou -ww -rLL=400n 2>"$tmp/$1.warnings"
}

commands=()
for c in $(subcommands); do
  subs=$(subcommands "$c")
  if [ -z "$subs" ]; then
    commands+=("$c")
  else
    for s in $subs; do commands+=("$c $s"); done
  fi
done
[ ${#commands[@]} -gt 10 ] || fail "the tool's --help lists only ${#commands[@]} commands"

render metdb >"$tmp/metdb.txt"
[ -s "$tmp/metdb.warnings" ] && fail "metdb(1): $(cat "$tmp/metdb.warnings")"
for c in "${commands[@]}"; do
  page=metdb-${c// /-}
  grep -qF "See $page(1)." "$tmp/metdb.txt" || fail "metdb(1) does not name $page(1)"
  [ -f "$man/$page.1.gz" ] || { fail "no page $page.1.gz"; continue; }
  read -r -a words <<<"$c"
  render "$page" >"$tmp/$page.txt"
  [ -s "$tmp/$page.warnings" ] && fail "$page(1): $(cat "$tmp/$page.warnings")"
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS EXAMPLES 'SEE ALSO'; do
    grep -qx "$section" "$tmp/$page.txt" || fail "$page(1) has no $section section"
  done
  examples "${words[@]}" >"$tmp/$page.examples"
  [ -s "$tmp/$page.examples" ] || fail "metdb $c --help shows no example"
  while IFS= read -r example; do
    sed 's/^ *//' "$tmp/$page.txt" | grep -xF -- "$example" >/dev/null ||
      fail "$page(1) does not show the example on a line of its own: $example"
  done <"$tmp/$page.examples"
done
# Nothing else in the folder: a page of a command that is gone would stay.
pages=$(cd "$man" && ls | sort)
expected=$(
  echo metdb.1.gz
  for c in "${commands[@]}"; do echo "metdb-${c// /-}.1.gz"; done
)
expected=$(echo "$expected" | sort)
[ "$pages" = "$expected" ] || fail "the pages are not one per command: $(echo $pages)"
exit $failed
