#!/usr/bin/env python3
"""Plants faults of known kinds among real rows and measures how check
--content finds them.

Usage:
  planted_faults.py --metdb PATH [--cities FILE] [--seed N] [--check]

Takes GeoNames' cities (cities15000.txt of Debian's libtimezonemap-data,
23,461 rows), copies them into a fresh folder with faults planted in some
rows (a fixed seed picks the rows), makes a database of each list with
`metdb create --from geonames --keep-duplicates`, runs `metdb check
--content --examples 0` on both and prints, for each kind of finding, how
many of the planted faults of that kind it finds (recall), where they rank
among its examples, and how many of its examples are no planted fault
(false alarms). The unchanged cities are right, so every finding there is
a false alarm.

Each planted row's name starts with a marker, "P017 ", that its findings
show. The kinds planted, with the finding that should report them:
  swapped      latitude and longitude swapped        outside its country
  sign         the sign of one coordinate lost       outside its country
  decimal      one coordinate times or divided by 10 outside its country
  minutes      degrees and minutes read as decimals  outside its country
  zero         the position 0, 0                     at 0, 0
  duplicate    a row given twice                     exact duplicates
  near         a row given again 300 m away          one name within 1 km
  zone         another continent's time zone         time zone not the country's
A position fault that leaves the row within 40 km of its country cannot be
told from a station on a cape, and no country check can find it: such rows
are not picked. So are rows that already lie outside their country.

With --check, exits 1 unless every planted fault is found and ranks among
the first ten of its kind, and the unchanged cities give at most 5 false
alarms; exits 77 (a skip) when the cities file is missing.
"""

import argparse
import math
import os
import random
import struct
import subprocess
import sys
import tempfile

CITIES = "/usr/share/libtimezonemap/ui/cities15000.txt"
HERE = os.path.dirname(os.path.abspath(__file__))
GEO = os.path.join(HERE, "..", "..", "data", "geo")
PLANTED = [("swapped", 10), ("sign", 10), ("decimal", 10), ("minutes", 10), ("zero", 5),
           ("duplicate", 6), ("near", 5), ("zone", 5)]
# The zone a "zone" row gets: one far from its own, and of no other country
# the row may be of.
FAR_ZONES = ("Asia/Tokyo", "America/Chicago")
# How far outside its country a planted position must lie (km), and how far
# a picked row may lie outside it before planting.
PLANT_MARGIN_KM = 40.0
ROW_INSIDE_KM = 10.0
FINDINGS = [  # (kind of finding, a phrase of its heading)
    ("zone", "time zone"),
    ("exact", "repeat"),
    ("name", "of one name in one state"),
    ("border", "of one name in different states"),
    ("close", "of different names"),
    ("name", "of one name"),             # as the check named them before the split
    ("close", "lie within 10 m"),
    ("close", "lies within 10 m"),
    ("globe", "not on the globe"),
    ("swapped", "with latitude and longitude swapped"),
    ("sign", "with a sign lost"),
    ("decimal", "with a decimal point"),
    ("minutes", "with degrees and minutes"),
    ("zero", "at 0, 0"),
    ("outside", "outside"),
    ("names", "UTF-8"),
    ("level", "level"),
]


# --- Outlines ---------------------------------------------------------------

def read_outlines(path, shapes):
    """Adds {iso2: [ring, ...]} of an outline file (data/geo/README.md)."""
    data = open(path, "rb").read()
    (count,) = struct.unpack_from("<I", data, 12)
    at = 16
    for _ in range(count):
        code, _, length = struct.unpack_from("<2sHB", data, at)
        at += 5 + length
        (rings,) = struct.unpack_from("<I", data, at)
        at += 4
        key = code.rstrip(b"\0").decode("ascii")
        for _ in range(rings):
            (n,) = struct.unpack_from("<I", data, at)
            at += 4
            n &= 0x7FFFFFFF
            values = struct.unpack_from("<%di" % (2 * n), data, at)
            at += 8 * n
            ring = [(values[2 * i] / 1e5, values[2 * i + 1] / 1e5) for i in range(n)]
            xs = [x for x, _ in ring]
            ys = [y for _, y in ring]
            shapes.setdefault(key, []).append((min(xs), max(xs), min(ys), max(ys), ring))


def inside(x, y, ring):
    result = False
    for i in range(len(ring)):
        (x1, y1), (x2, y2) = ring[i - 1], ring[i]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            result = not result
    return result


def km_outside(shapes, code, lat, lon, limit):
    """The distance from the position to the country's outline in km, 0
    inside, measured in the plane near the position; limit when it is at
    least that far; None for a country of no outline."""
    rings = shapes.get(code)
    if not rings:
        return None
    depth = 0
    for west, east, south, north, ring in rings:
        if west <= lon <= east and south <= lat <= north and inside(lon, lat, ring):
            depth += 1
    if depth % 2 == 1:
        return 0.0
    reach = limit / 111.0
    scale = math.cos(math.radians(lat))
    best = limit
    for west, east, south, north, ring in rings:
        if lat < south - reach or lat > north + reach:
            continue
        if scale > 0.05 and (lon < west - reach / scale or lon > east + reach / scale):
            continue
        for i in range(len(ring)):
            (x1, y1), (x2, y2) = ring[i - 1], ring[i]
            ax, ay = (x1 - lon) * scale, y1 - lat
            bx, by = (x2 - lon) * scale, y2 - lat
            dx, dy = bx - ax, by - ay
            length = dx * dx + dy * dy
            t = 0.0 if length == 0 else max(0.0, min(1.0, -(ax * dx + ay * dy) / length))
            px, py = ax + t * dx, ay + t * dy
            best = min(best, math.hypot(px, py) * 111.2)
    return best


# --- Planting ---------------------------------------------------------------

def as_minutes(value):
    """value in degrees written as degrees and minutes (46.9833 -> 46.59),
    as a tracker writing 46-59N would give it when read as decimals."""
    magnitude = abs(value)
    degrees = math.floor(magnitude)
    minutes = round((magnitude - degrees) * 60)
    if minutes == 60:
        degrees, minutes = degrees + 1, 0
    return math.copysign(degrees + minutes / 100.0, value)


def faulty_position(kind, lat, lon, rng):
    if kind == "swapped":
        return lon, lat
    if kind == "sign":
        return (-lat, lon) if rng.random() < 0.5 else (lat, -lon)
    if kind == "decimal":
        # A point lost or added in one coordinate. One that leaves the
        # globe is no row that create takes (it says so), so it stays on it.
        factor = 10.0 if rng.random() < 0.5 else 0.1
        if rng.random() < 0.5:
            return (lat * factor if abs(lat * factor) <= 90 else lat * 0.1), lon
        return lat, (lon * factor if abs(lon * factor) <= 180 else lon * 0.1)
    if kind == "minutes":
        return as_minutes(lat), as_minutes(lon)
    if kind == "zero":
        return 0.0, 0.0
    return lat, lon


def plant(rows, shapes, seed):
    """Plants the faults in copies of rows (lists of GeoNames' fields);
    returns the new rows and {marker: kind}."""
    rng = random.Random(seed)
    order = list(range(len(rows)))
    rng.shuffle(order)
    taken = set()
    truth = {}
    extra = []
    number = 0
    for kind, count in PLANTED:
        planted = 0
        for index in order:
            if planted == count:
                break
            if index in taken:
                continue
            fields = rows[index]
            lat, lon, code = float(fields[4]), float(fields[5]), fields[8]
            if not code or km_outside(shapes, code, lat, lon, 100.0) in (None,) or \
                    km_outside(shapes, code, lat, lon, 100.0) > ROW_INSIDE_KM:
                continue
            flat, flon = faulty_position(kind, lat, lon, rng)
            if abs(flat) > 90 or abs(flon) > 180:
                continue  # create takes no such row (it says so)
            if kind == "zone" and (len(fields) < 18 or not fields[17]):
                continue
            if kind in ("swapped", "sign", "decimal", "minutes"):
                if km_outside(shapes, code, flat, flon, PLANT_MARGIN_KM) < PLANT_MARGIN_KM:
                    continue
            taken.add(index)
            number += 1
            marker = "P%03d" % number
            truth[marker] = kind
            fields = list(fields)
            fields[1] = marker + " " + fields[1]
            fields[4], fields[5] = "%.5f" % flat, "%.5f" % flon
            if kind == "zone":
                fields[17] = FAR_ZONES[1] if code == "JP" else FAR_ZONES[0]
            rows[index] = fields
            if kind == "duplicate":
                extra.append(list(fields))
            elif kind == "near":
                copy = list(fields)
                copy[0] = str(90000000 + number)
                copy[4] = "%.5f" % (lat + 0.0027)  # 300 m north
                extra.append(copy)
            planted += 1
    return rows + extra, truth


# --- Measuring --------------------------------------------------------------

def run(metdb, folder, rows):
    """The findings of check --content on a database of rows:
    [(kind of finding, [example, ...])]."""
    listing = os.path.join(folder, "cities.txt")
    with open(listing, "w", encoding="utf-8") as f:
        for fields in rows:
            f.write("\t".join(fields) + "\n")
    database = os.path.join(folder, "cities.bmt")
    for suffix in (".bmt", ".dir"):
        if os.path.exists(database[:-4] + suffix):
            os.remove(database[:-4] + suffix)
    subprocess.run([metdb, "--db", database, "create", "--from", "geonames",
                    "--keep-duplicates", listing], check=True, capture_output=True)
    out = subprocess.run([metdb, "--db", database, "check", "--content", "--examples", "0"],
                         capture_output=True, text=True).stdout
    findings = []
    for line in out.splitlines():
        if line.startswith("FAULT  ") or line.startswith("note   "):
            heading = line[7:]
            kind = next((k for k, phrase in FINDINGS if phrase in heading), heading)
            if line.startswith("note   "):
                kind = "note:" + kind
            findings.append((kind, []))
        elif line.startswith("         ") and findings and not line.strip().startswith("..."):
            findings[-1][1].append(line.strip())
        elif not line.startswith(" "):
            findings.append(("-", []))
    return [f for f in findings if f[0] != "-"]


def marker_of(example):
    for part in example.split("/"):
        if len(part) > 5 and part[0] == "P" and part[1:4].isdigit() and part[4] == " ":
            return part[:4]
    return None


def measure(findings, truth):
    """{kind of finding: (found markers {marker: rank}, false alarms)}."""
    result = {}
    for kind, examples in findings:
        found, alarms = {}, 0
        for rank, example in enumerate(examples, 1):
            marker = marker_of(example)
            if marker is None:
                alarms += 1
            elif marker not in found:
                found[marker] = rank
        result[kind] = (found, alarms)
    return result


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--metdb", required=True)
    parser.add_argument("--cities", default=CITIES)
    parser.add_argument("--seed", type=int, default=28)
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()
    if not os.path.exists(args.cities):
        print("skipped: %s is missing (apt-get install libtimezonemap-data)" % args.cities)
        return 77
    with open(args.cities, encoding="utf-8") as f:
        rows = [line.rstrip("\n").split("\t") for line in f if line.strip()]
    shapes = {}
    read_outlines(os.path.join(GEO, "countries-50m.bin"), shapes)
    read_outlines(os.path.join(GEO, "countries-extra.bin"), shapes)
    planted, truth = plant([list(r) for r in rows], shapes, args.seed)

    failures = []
    with tempfile.TemporaryDirectory(prefix="planted.") as folder:
        plain = run(args.metdb, folder, rows)
        faulty = run(args.metdb, folder, planted)

    # The cities as they are: every fault found is a false alarm.
    alarms = sum(len(examples) for kind, examples in plain if not kind.startswith("note:"))
    notes = sum(len(examples) for kind, examples in plain if kind.startswith("note:"))
    print("GeoNames cities (%d rows): %d false alarms, %d notes" % (len(rows), alarms, notes))
    for kind, examples in plain:
        print("  %-14s %3d  %s" % (kind, len(examples), " | ".join(examples[:2])))
    if alarms > 5:
        failures.append("%d false alarms on the cities, more than 5" % alarms)

    # The planted list: recall and rank per kind of finding.
    # A position fault is found by the finding of its slip, or by the one
    # of the positions that no slip explains.
    expected = {"swapped": ["swapped", "outside"], "sign": ["sign", "outside"],
                "minutes": ["minutes", "outside"], "decimal": ["decimal", "outside"],
                "zero": ["zero"], "duplicate": ["exact"], "near": ["name"],
                "zone": ["zone"]}
    measured = measure(faulty, truth)
    print("Planted: %d faults among %d rows (seed %d)" % (len(truth), len(planted), args.seed))
    print("%-14s %8s %6s %10s %13s" % ("finding", "examples", "found", "in top 10",
                                        "false alarms"))
    for finding, (found, false_alarms) in sorted(measured.items()):
        hits = [m for m in found if m in truth and finding in expected[truth[m]]]
        top = [m for m in hits if found[m] <= 10]
        print("%-14s %8d %6d %10d %13d" % (finding, len(found) + false_alarms, len(hits),
                                           len(top), false_alarms))
    by_kind = {}
    for marker, kind in sorted(truth.items()):
        ranks = [measured[f][0][marker] for f in expected[kind]
                 if f in measured and marker in measured[f][0]]
        tally = by_kind.setdefault(kind, [0, 0, 0])
        tally[0] += 1
        tally[1] += 1 if ranks else 0
        tally[2] += 1 if ranks and min(ranks) <= 10 else 0
        if not ranks:
            failures.append("%s (%s) is not found" % (marker, kind))
        elif min(ranks) > 10:
            failures.append("%s (%s) ranks %d" % (marker, kind, min(ranks)))
    print("Planted kind: found / in its finding's top 10 / planted")
    for kind, (count, found, top) in sorted(by_kind.items()):
        print("  %-10s %2d / %2d / %2d" % (kind, found, top, count))
    words = {"swapped": "swapped", "sign": "sign lost", "decimal": "decimal point",
             "minutes": "minutes read"}
    diagnosed = set()
    for _, examples in faulty:
        for example in examples:
            marker = marker_of(example)
            if marker and truth.get(marker) in words and words[truth[marker]] in example:
                diagnosed.add(marker)
    print("Diagnosed rightly: %d of %d position faults" %
          (len(diagnosed), sum(1 for k in truth.values() if k in words)))
    for failure in failures:
        print("FAILED: " + failure)
    return 1 if (args.check and failures) else 0


if __name__ == "__main__":
    sys.exit(main())
