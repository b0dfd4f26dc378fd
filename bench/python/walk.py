#!/usr/bin/python3
"""Measures reading a large database from Python: to_pandas, plain
iteration, and pandas.read_csv of the same records exported as CSV.

Usage: PYTHONPATH=<build>/python bench/python/walk.py --tool <build>/cli/metdb [--count N]

Makes N locations (default 10**6) as a station list in a fresh temporary
folder, creates the database with the tool (metdb create), exports it with
"metdb export --format csv", then runs each measurement in a process of its
own, so that each peak resident size (ru_maxrss) is that job's alone.
Prints one line per job: wall seconds and peak MiB.
"""

import argparse
import os
import resource
import subprocess
import sys
import tempfile
import time

JOBS = {
    "baseline": "import metdb, numpy, pandas\nrows = 0\n",
    "to_pandas": "import metdb\n"
    "with metdb.open(DB, readonly=True) as db:\n"
    "    frame = db.to_pandas()\n"
    "rows = len(frame)\n",
    "iterate": "import metdb\n"
    "rows = 0\n"
    "with metdb.open(DB, readonly=True) as db:\n"
    "    for location in db:\n"
    "        rows += 1\n",
    "iterate_fields": "import metdb\n"
    "rows = 0\n"
    "with metdb.open(DB, readonly=True) as db:\n"
    "    for location in db:\n"
    "        location.name, location.latitude, location.seriesA\n"
    "        rows += 1\n",
    "read_csv": "import pandas\nframe = pandas.read_csv(CSV)\nrows = len(frame)\n",
}

RUNNER = """
import resource, sys, time
DB, CSV = sys.argv[1], sys.argv[2]
start = time.perf_counter()
exec(sys.argv[3])
seconds = time.perf_counter() - start
peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024
print(f"{rows} {seconds:.2f} {peak:.0f}")
"""


def make_list(path, count):
    """count locations in 50 countries of 20 states each, unique names."""
    with open(path, "w", encoding="utf-8") as out:
        out.write("name,state,country,continent,level,latitude,longitude,auxValue,"
                  + ",".join(f"seriesA{m}" for m in range(1, 13)) + "\n")
        series = ",".join(str(m + 0.5) for m in range(12))
        for i in range(count):
            country = i % 50
            state = (i // 50) % 20
            lat = -80 + (i * 7919 % 160000) / 1000
            lon = -179 + (i * 104729 % 358000) / 1000
            out.write(f"S{i:07d},State {state},Country {country},Continent {country % 6},"
                      f"{1 + i % 3},{lat:.3f},{lon:.3f},{i % 1000},{series}\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    parser.add_argument("--count", type=int, default=10**6)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        listed = os.path.join(folder, "list.csv")
        db = os.path.join(folder, "big.bmt")
        exported = os.path.join(folder, "export.csv")
        make_list(listed, args.count)
        start = time.perf_counter()
        subprocess.run([args.tool, "--db", db, "create", listed], check=True,
                       stdout=subprocess.DEVNULL)
        print(f"create {time.perf_counter() - start:.1f} s")
        start = time.perf_counter()
        subprocess.run([args.tool, "--db", db, "export", "--format", "csv", "--output", exported],
                       check=True)
        print(f"export csv {time.perf_counter() - start:.1f} s, "
              f"{os.path.getsize(exported) / 2**20:.0f} MiB")
        for name, job in JOBS.items():
            done = subprocess.run([sys.executable, "-c", RUNNER, db, exported, job], check=True,
                                  capture_output=True, text=True)
            rows, seconds, peak = done.stdout.split()
            print(f"{name:15} {rows} rows  {seconds} s  peak {peak} MiB")
    base = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024
    print(f"(this script's own peak: {base:.0f} MiB)")


if __name__ == "__main__":
    main()
