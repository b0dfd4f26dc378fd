#!/usr/bin/env python3
"""Writes the time-zone data of data/tz/ from its sources.

Usage: scripts/make-tzdata.py [OUTPUT_DIR]
(default: data/tz/ of the source tree this script is in).

Needs python3 (standard library only), npm (to fetch tz-lookup with
`npm pack` into a temporary folder) and Debian's tzdata package
(/usr/share/zoneinfo). With node installed it also checks, at 100,000
random positions, that the written grid gives tz-lookup's own answers. The
build never runs it: its output is committed, and the tool reads only that.

Sources (data/tz/README.md gives their licences):
  @photostructure/tz-lookup@11.8.0  timezone-boundary-builder's zones as a
                                    quadtree over the globe (tz.js)
  tzdata (Debian)                   zone.tab, zone1970.tab: the countries of
                                    each zone; tzdata.zi: links (old names)

Writes:
  timezones.bin   the quadtree (format in the README)
  zones.tsv       each zone and link of tzdata: its canonical zone and the
                  countries that use it
"""

import json
import os
import random
import re
import shutil
import struct
import subprocess
import sys
import tarfile
import tempfile

PACKAGE, VERSION = "@photostructure/tz-lookup", "11.8.0"
ZONEINFO = "/usr/share/zoneinfo"

# tz.js's packing: 48 x 24 root tiles, then four children per inner node;
# each entry two characters of base 56 from '#'; an entry of at least
# LEAF_BASE - len(zones) is a leaf.
COLUMNS, ROWS, LEAF_BASE = 48, 24, 3136


def fail(message):
    sys.exit("make-tzdata.py: " + message)


def fetch(folder):
    result = subprocess.run(["npm", "pack", "--silent", "%s@%s" % (PACKAGE, VERSION)],
                            cwd=folder, capture_output=True, text=True)
    if result.returncode != 0:
        fail("npm pack %s@%s failed: %s" % (PACKAGE, VERSION, result.stderr.strip()))
    with tarfile.open(os.path.join(folder, result.stdout.strip().splitlines()[-1])) as archive:
        source = archive.extractfile("package/tz.js").read().decode("ascii")
    with open(os.path.join(folder, "tz.js"), "w") as f:
        f.write(source)
    return source


def quadtree(source):
    """(zones, cells): entries as the grid file holds them."""
    packed = re.search(r'X="([^"]*)"', source)
    names = re.search(r"T=(\[[^\]]*\])", source)
    if not packed or not names:
        fail("tz.js is not laid out as this script expects")
    zones = json.loads(names.group(1))
    text = packed.group(1)
    raw = [56 * ord(text[i]) + ord(text[i + 1]) - 1995 for i in range(0, len(text), 2)]
    roots = COLUMNS * ROWS
    cells = []
    for position, value in enumerate(raw):
        if value + len(zones) >= LEAF_BASE:
            cells.append(0x8000 | (value + len(zones) - LEAF_BASE))
        else:
            # tz.js counts a child node from its parent's number (-1 for a
            # root tile); the file gives it absolutely.
            parent = -1 if position < roots else (position - roots) // 4
            child = parent + value + 1
            if not 0 <= child < 0x8000 or roots + 4 * child + 3 >= len(raw):
                fail("entry %d points outside the tree" % position)
            cells.append(child)
    return zones, cells


def write_grid(path, zones, cells):
    with open(path, "wb") as f:
        f.write(b"metdbtz\0")
        f.write(struct.pack("<III", 1, COLUMNS, ROWS))
        f.write(struct.pack("<I", len(zones)))
        for zone in zones:
            data = zone.encode("ascii")
            f.write(struct.pack("<B", len(data)) + data)
        f.write(struct.pack("<I", len(cells)))
        f.write(struct.pack("<%dH" % len(cells), *cells))


def lookup(zones, cells, latitude, longitude):
    """The grid's answer, as tool/places/TimeZones.cc gives it."""
    x = COLUMNS * (180.0 + longitude) / 360.00000000000006
    y = ROWS * (90.0 - latitude) / 180.00000000000003
    col, row = int(x), int(y)
    cell = cells[row * COLUMNS + col]
    while not cell & 0x8000:
        x, y = 2 * (x - col) % 2, 2 * (y - row) % 2
        col, row = int(x), int(y)
        cell = cells[COLUMNS * ROWS + 4 * cell + 2 * row + col]
    return zones[cell & 0x7FFF]


def check_against_node(folder, zones, cells):
    if shutil.which("node") is None:
        print("node is missing: the grid is not checked against tz.js")
        return
    rng = random.Random(1)
    points = [(rng.uniform(-89.999, 89.999), rng.uniform(-180, 180)) for _ in range(100000)]
    script = ("const t=require('./tz.js');const p=JSON.parse(require('fs').readFileSync(0));"
              "process.stdout.write(JSON.stringify(p.map(q=>t(q[0],q[1]))));")
    result = subprocess.run(["node", "-e", script], cwd=folder, input=json.dumps(points),
                            capture_output=True, text=True, check=True)
    expected = json.loads(result.stdout)
    for (lat, lon), want in zip(points, expected):
        got = lookup(zones, cells, lat, lon)
        if got != want:
            fail("at %f, %f the grid gives %s, tz.js %s" % (lat, lon, got, want))
    print("the grid gives tz.js's answers at %d positions" % len(points))


def read_tab(name):
    rows = []
    with open(os.path.join(ZONEINFO, name), encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            rows.append(line.rstrip("\n").split("\t"))
    return rows


def zone_table(extra_zones):
    """{name: (canonical, {countries})} for every zone and link."""
    links, zones, version = {}, set(), ""
    with open(os.path.join(ZONEINFO, "tzdata.zi"), encoding="utf-8") as f:
        for line in f:
            words = line.split()
            if line.startswith("# version"):
                version = words[2]
            elif words and words[0] == "Z":
                zones.add(words[1])
            elif words and words[0] == "L":
                links[words[2]] = words[1]
    countries = {}
    for row in read_tab("zone.tab") + read_tab("zone1970.tab"):
        for code in row[0].split(","):
            countries.setdefault(row[2], set()).add(code)
    table = {}
    for name in zones | set(links) | set(countries) | set(extra_zones):
        canonical = name
        while canonical in links:
            canonical = links[canonical]
        table[name] = (canonical, countries.get(name, set()) | countries.get(canonical, set()))
    return table, version


def write_zones(path, table, version):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("# The zones and links of tzdata %s (public domain): each name's canonical\n"
                "# zone and the countries (ISO 3166-1 alpha-2) of zone.tab and zone1970.tab\n"
                "# that use it. Written by scripts/make-tzdata.py; see README.md.\n" % version)
        f.write("zone\tcanonical\tcountries\n")
        for name in sorted(table):
            canonical, countries = table[name]
            f.write("%s\t%s\t%s\n" % (name, canonical, ",".join(sorted(countries))))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "tz")
    os.makedirs(out, exist_ok=True)
    folder = tempfile.mkdtemp(prefix="make-tzdata-")
    try:
        source = fetch(folder)
        zones, cells = quadtree(source)
        check_against_node(folder, zones, cells)
    finally:
        shutil.rmtree(folder)
    write_grid(os.path.join(out, "timezones.bin"), zones, cells)
    table, version = zone_table(zones)
    unknown = [z for z in zones if table[z][0] not in table or not z.startswith("Etc/") and
               not table[z][1]]
    if unknown:
        print("zones of tz-lookup without a country in tzdata %s: %s" % (version, unknown))
    write_zones(os.path.join(out, "zones.tsv"), table, version)
    print("%d zones, %d entries; tzdata %s: %d names" % (len(zones), len(cells), version,
                                                         len(table)))


if __name__ == "__main__":
    main()
