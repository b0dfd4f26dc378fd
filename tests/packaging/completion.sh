#!/usr/bin/env bash
# Loads the bash completion script that the build wrote for the metdb tool,
# with bash-completion's helpers when they are installed (as in an
# interactive shell) and once more without them, and checks what a few
# command lines complete to: commands, subcommands, options, the values of
# options with a fixed set of them, and file names.
# Usage: completion.sh COMPLETION_SCRIPT
set -euo pipefail
script=$(realpath "$1")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
[ -s "$script" ] || { echo "FAIL: $script is missing or empty" >&2; exit 1; }

# Files to complete, in a fresh folder that is the current directory.
mkdir "$tmp/files"
touch "$tmp/files/stations.csv" "$tmp/files/north.sel"

check_all() {  # check_all WITH_BASH_COMPLETION
  bash --norc --noprofile -s "$1" "$script" "$tmp/files" <<'CHECKS'
set -u
with=$1 script=$2
cd "$3"
if [ "$with" = 1 ]; then
  # shellcheck disable=SC1091
  . /usr/share/bash-completion/bash_completion
fi
# shellcheck disable=SC1090
. "$script"
failed=0
# expect 'LINE' 'WORDS...': completing at the end of LINE gives WORDS, in
# any order.
expect() {
  local line=$1 want=$2
  COMP_LINE=$line COMP_POINT=${#line}
  read -r -a COMP_WORDS <<<"$line"
  [[ $line == *' ' ]] && COMP_WORDS+=('')
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _metdb
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
  want=$(printf '%s\n' $want | sort | xargs)
  if [ "$got" != "$want" ]; then
    echo "FAIL (bash-completion $with): '$line' completes to '$got', not '$want'" >&2
    failed=1
  fi
}
expect 'metdb sel' 'selection'
expect 'metdb selection ' 'new show check'
expect 'metdb --db st.bmt li' 'list'
expect 'metdb list --fo' '--format'
expect 'metdb list --format ' 'table csv json'
expect 'metdb --db st.bmt export --format g' 'geojson gpkg'
expect 'metdb create --from gh' 'ghcnd-stations'
expect 'metdb map --color-by co' 'continent country'
expect 'metdb nearest -' "$(echo --help -h -k --max-km --within --format --map --map-width \
  --continent --country --state --name --level-limit --bbox --id --active --selection)"
expect 'metdb create st' 'stations.csv'
expect 'metdb list --selection no' 'north.sel'
expect 'metdb list --country ' ''
exit $failed
CHECKS
}

status=0
if [ -f /usr/share/bash-completion/bash_completion ]; then
  check_all 1 || status=1
else
  echo "bash-completion is not installed: checking without its helpers only"
fi
check_all 0 || status=1
exit $status
