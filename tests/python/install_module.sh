#!/usr/bin/env bash
# Installs the build into a temporary prefix and imports the package metdb
# from there with the system's python, which opens a database: the
# installed extension finds the installed libmetdb.so by its run path.
# Arguments: BUILD_DIR PYTHON PACKAGE_DIR (relative to the prefix) TOOL
set -euo pipefail
build=$1 python=$2 package_dir=$3 tool=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
test -f "$work/prefix/$package_dir/metdb/__init__.py"
test -f "$work/prefix/$package_dir/metdb/__init__.pyi"
test -f "$work/prefix/$package_dir/metdb/py.typed"

printf 'name,state,country,continent,latitude,longitude\nOslo,Oslo,Norway,Europe,59.91,10.75\n' \
  >"$work/st.csv"
"$tool" --db "$work/st.bmt" create "$work/st.csv" >/dev/null

# From another folder, with nothing of the build tree on the path.
cd "$work"
env -u LD_LIBRARY_PATH PYTHONPATH="$work/prefix/$package_dir" "$python" - "$work" <<'PY'
import sys
import metdb
prefix = sys.argv[1] + "/prefix/"
assert metdb.__file__.startswith(prefix), metdb.__file__
with metdb.open(sys.argv[1] + "/st.bmt", readonly=True) as db:
    names = [l.name for l in db]
assert names == ["Oslo"], names
PY
# The extension names the installed library, not the build tree's.
ldd "$work/prefix/$package_dir/metdb/"_metdb*.so | grep "libmetdb.so" | grep -q "$work/prefix/"
echo "installed module works"
