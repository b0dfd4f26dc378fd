# Sourced by the packaging tests: a fresh temporary folder, $tmp, removed
# when the test ends, and the ways to fail.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
run() {  # run LOG COMMAND...: quiet unless the command fails
  local log=$1
  shift
  "$@" >"$log" 2>&1 || { cat "$log" >&2; fail "$*"; }
}
