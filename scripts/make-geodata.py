#!/usr/bin/env python3
"""Writes the geographic reference data of data/geo/ from its sources.

Usage: scripts/make-geodata.py [OUTPUT_DIR]
(default: data/geo/ of the source tree this script is in).

Needs python3 (standard library only), npm (to fetch the packages with
`npm pack` into a temporary folder) and Debian's iso-codes package
(/usr/share/iso-codes/json/iso_3166-1.json). The build never runs it: its
output is committed, and the tool reads only that output.

Sources (data/geo/README.md gives their licences):
  iso-codes (Debian)         ISO 3166-1 alpha-2, alpha-3, numeric and names
  country-code-lookup@0.1.5  FIPS 10-4 codes beside ISO alpha-2
  countries-list@3.4.1       the continent of each ISO alpha-2 code
  world-atlas@2.0.2          Natural Earth's country and land outlines,
                             1:110m, 1:50m and 1:10m (TopoJSON)

Writes:
  countries.tsv              one row per country (format in the README)
  countries-110m.bin, countries-50m.bin, land-110m.bin, land-50m.bin
                             outlines as plain polygons in longitude and
                             latitude (format in the README)
  countries-extra.bin        what the country check adds to the 1:50m
                             outlines: the polygons of the 1:10m ones that no
                             1:50m polygon of their country covers (small
                             islands), and the areas of SHARED_AREAS; in the
                             same format
"""

import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tarfile
import tempfile

PACKAGES = {
    "country-code-lookup": "0.1.5",
    "countries-list": "3.4.1",
    "world-atlas": "2.0.2",
}
ISO_CODES_JSON = "/usr/share/iso-codes/json/iso_3166-1.json"

# The project's continents, by the two-letter codes of countries-list.
CONTINENTS = {
    "AF": "Africa",
    "AN": "Antarctica",
    "AS": "Asia",
    "EU": "Europe",
    "NA": "North America",
    "OC": "Oceania",
    "SA": "South America",
}

# The record keeps a country name in at most 30 bytes and a continent in 20.
NAME_BYTES = 30
CONTINENT_BYTES = 20

# Names people use where iso-codes gives an inverted or official form, or
# one longer than the record holds. Every other country keeps iso-codes'
# common_name, or its name where it has none.
NAMES = {
    "BN": "Brunei",
    "BQ": "Caribbean Netherlands",
    "CD": "DR Congo",
    "CG": "Republic of the Congo",
    "FK": "Falkland Islands",
    "FM": "Micronesia",
    "GS": "South Georgia",
    "HM": "Heard and McDonald Islands",
    "MF": "Saint Martin",
    "PN": "Pitcairn Islands",
    "PS": "Palestine",
    "RU": "Russia",
    "SH": "Saint Helena",
    "SX": "Sint Maarten",
    "UM": "US Minor Outlying Islands",
    "VA": "Vatican City",
    "VC": "Saint Vincent and Grenadines",
    "VG": "British Virgin Islands",
    "VI": "US Virgin Islands",
}

# English names that station lists use and that no source gives.
EXTRA_ALIASES = {
    "MK": ["Macedonia"],
    "MM": ["Burma"],
    "SZ": ["Swaziland"],
    "TL": ["East Timor"],
    "TR": ["Turkey"],
}

# Codes outside ISO 3166-1 that NOAA's station lists use: Kosovo has the
# user-assigned XK (so have country-code-lookup and countries-list).
EXTRA_COUNTRIES = [
    {"alpha_2": "XK", "alpha_3": "XKX", "numeric": "", "name": "Kosovo"},
]

# FIPS 10-4 codes that country-code-lookup gives in an older form, by ISO
# alpha-2 code: (its code, FIPS PUB 10-4's and NOAA's GHCN-Daily's code).
FIPS_CORRECTIONS = {
    "AE": ("TC", "AE"),  # United Arab Emirates
    "FK": ("FA", "FK"),  # Falkland Islands
    "VN": ("VN", "VM"),  # Vietnam
}

# FIPS 10-4 codes that country-code-lookup lacks, from FIPS PUB 10-4 itself:
# territories that FIPS codes apart and ISO 3166-1 counts within a country.
EXTRA_FIPS = {
    "FM": ["FM"],                                  # Micronesia
    "PS": ["GZ"],                                  # Gaza Strip
    "SJ": ["JN"],                                  # Jan Mayen
    "AU": ["AT", "CR"],                            # Ashmore and Cartier, Coral Sea Islands
    "TF": ["BS", "EU", "GO", "JU", "TE"],          # the Scattered Islands
    "UM": ["DQ", "FQ", "HQ", "JQ", "KQ", "LQ", "MQ", "WQ"],  # the islands one by one
}

# Outlines that Natural Earth draws without an ISO numeric id, by name.
UNCODED_SHAPES = {
    "Kosovo": "XK",
    "N. Cyprus": "CY",
    "Somaliland": "SO",
    "Indian Ocean Ter.": "CX",  # the Cocos Islands are moved by SEPARATE_AREAS below
    # "Siachen Glacier" stays without a country.
}

# Areas within an outline that ISO 3166-1 codes apart: a polygon of the first
# code whose bounding box has its centre in the box (west, east, south,
# north, in degrees) goes to the second code.
SEPARATE_AREAS = [
    ("FR", "GF", (-55.0, -51.0, 2.0, 6.5)),      # French Guiana
    ("FR", "GP", (-62.0, -61.0, 15.8, 16.6)),    # Guadeloupe
    ("FR", "MQ", (-61.3, -60.7, 14.3, 15.0)),    # Martinique
    ("FR", "RE", (55.1, 56.0, -21.5, -20.8)),    # Reunion
    ("FR", "YT", (44.9, 45.4, -13.1, -12.5)),    # Mayotte
    ("NO", "SJ", (10.0, 35.0, 74.0, 81.5)),      # Svalbard
    ("NO", "SJ", (-9.5, -7.5, 70.5, 71.5)),      # Jan Mayen
    ("NL", "BQ", (-68.5, -68.1, 11.9, 12.4)),    # Bonaire
    ("NL", "BQ", (-63.3, -62.9, 17.4, 17.7)),    # Sint Eustatius, Saba
    ("CX", "CC", (96.7, 97.0, -12.3, -11.8)),    # Cocos (Keeling) Islands
]

# Coordinates are written in these units of a degree.
UNITS_PER_DEGREE = 100000
MAGIC = b"metdbgeo"
FORMAT_VERSION = 1
HOLE_FLAG = 0x80000000


def fail(message):
    sys.exit("make-geodata: " + message)


def note(message):
    print("make-geodata: " + message, file=sys.stderr)


def fetch(folder):
    """{package name: tarfile} of the packages, fetched with npm pack."""
    archives = {}
    for name, version in PACKAGES.items():
        result = subprocess.run(["npm", "pack", "--silent", name + "@" + version],
                                cwd=folder, capture_output=True, text=True)
        if result.returncode != 0:
            fail("npm pack %s@%s failed: %s" % (name, version, result.stderr.strip()))
        path = os.path.join(folder, result.stdout.strip().splitlines()[-1])
        archives[name] = tarfile.open(path, "r:gz")
    return archives


def member(archive, path):
    return archive.extractfile("package/" + path).read().decode("utf-8")


# --- The countries table -------------------------------------------------

def js_objects(source):
    """The flat object literals of country-code-lookup's index.js as dicts
    of strings (null as None)."""
    start = source.index("var countries = [")
    body = source[start:]
    value = r"""'((?:[^'\\]|\\.)*)'|"((?:[^"\\]|\\.)*)"|(null)"""
    objects = []
    for text in re.findall(r"\{([^{}]*)\}", body):
        entry = {}
        for key, single, double, null in re.findall(r"(\w+):\s*(?:" + value + ")", text):
            entry[key] = None if null else (single or double).replace("\\'", "'")
        objects.append(entry)
    return objects


def countries_table(archives):
    iso = json.load(open(ISO_CODES_JSON, encoding="utf-8"))["3166-1"] + EXTRA_COUNTRIES
    lookup = js_objects(member(archives["country-code-lookup"], "index.js"))
    continents = json.loads(member(archives["countries-list"], "countries.min.json"))

    rows = {}
    for entry in iso:
        code = entry["alpha_2"]
        name = NAMES.get(code, entry.get("common_name", entry["name"]))
        aliases = [entry["name"], entry.get("common_name"), entry.get("official_name")]
        if code not in continents:
            fail("countries-list has no continent for %s" % code)
        aliases.append(continents[code]["name"])
        aliases += EXTRA_ALIASES.get(code, [])
        rows[code] = {
            "iso2": code, "iso3": entry["alpha_3"], "numeric": entry["numeric"],
            "name": name, "continent": CONTINENTS[continents[code]["continent"]],
            "fips": [], "aliases": aliases,
        }

    for entry in lookup:
        code = entry.get("iso2")
        if code not in rows:
            note("country-code-lookup's %s (%s) has no ISO 3166-1 country: left out"
                 % (code, entry.get("country")))
            continue
        if entry.get("fips"):
            rows[code]["fips"].append(entry["fips"])
        rows[code]["aliases"].append(entry.get("country"))
    for code, (old, new) in FIPS_CORRECTIONS.items():
        if rows[code]["fips"] != [old]:
            fail("country-code-lookup's FIPS codes of %s are %s, not %s"
                 % (code, rows[code]["fips"], old))
        rows[code]["fips"] = [new]
    for code, extra in EXTRA_FIPS.items():
        rows[code]["fips"] += [f for f in extra if f not in rows[code]["fips"]]

    # Each FIPS code and each name names one country.
    owner = {}
    for row in rows.values():
        for fips in row["fips"]:
            if fips in owner:
                fail("FIPS %s for both %s and %s" % (fips, owner[fips], row["iso2"]))
            owner[fips] = row["iso2"]
    names = {}
    for row in rows.values():
        for name in [row["name"]] + row["aliases"]:
            if name:
                names.setdefault(name.casefold(), set()).add(row["iso2"])
    for row in rows.values():
        if len(names[row["name"].casefold()]) > 1:
            fail("the name %s is not %s's alone" % (row["name"], row["iso2"]))
        kept = []
        for alias in row["aliases"]:
            if not alias or alias.casefold() == row["name"].casefold():
                continue
            if len(names[alias.casefold()]) > 1:
                note("%s is a name of %s: not an alias of any"
                     % (alias, ", ".join(sorted(names[alias.casefold()]))))
                continue
            if alias not in kept:
                kept.append(alias)
        row["aliases"] = kept
        if len(row["name"].encode("utf-8")) > NAME_BYTES:
            fail("%s's name %s is longer than %d bytes" % (row["iso2"], row["name"], NAME_BYTES))
        for text in [row["name"]] + kept:
            if "\t" in text or "|" in text:
                fail("%s's name %r holds a tab or a bar" % (row["iso2"], text))
    for name in CONTINENTS.values():
        assert len(name.encode("utf-8")) <= CONTINENT_BYTES
    return rows


def write_countries(rows, path, iso_codes_version):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("# Countries: ISO 3166-1 codes and names (iso-codes %s, LGPL-2.1+),\n"
                % iso_codes_version)
        f.write("# continents (countries-list %s, MIT), FIPS 10-4 codes (country-code-lookup %s,\n"
                % (PACKAGES["countries-list"], PACKAGES["country-code-lookup"]))
        f.write("# MIT). Written by scripts/make-geodata.py; see README.md.\n")
        f.write("iso2\tiso3\tnumeric\tname\tcontinent\tfips\taliases\n")
        for code in sorted(rows):
            row = rows[code]
            f.write("\t".join([row["iso2"], row["iso3"], row["numeric"], row["name"],
                               row["continent"], ",".join(row["fips"]),
                               "|".join(row["aliases"])]) + "\n")


# --- Outlines ------------------------------------------------------------

def decode_arcs(topology):
    """The arcs as lists of (longitude, latitude): delta-decoded, with the
    transform applied."""
    (sx, sy), (tx, ty) = topology["transform"]["scale"], topology["transform"]["translate"]
    arcs = []
    for arc in topology["arcs"]:
        x = y = 0
        points = []
        for dx, dy in arc:
            x += dx
            y += dy
            points.append((x * sx + tx, y * sy + ty))
        arcs.append(points)
    return arcs


def ring_points(arcs, indices):
    points = []
    for i in indices:
        arc = arcs[i] if i >= 0 else arcs[~i][::-1]
        points.extend(arc if not points else arc[1:])
    return points


def clip(points, keep, cut):
    """Sutherland-Hodgman: the closed ring points clipped to the side where
    keep(point) holds; cut(a, b) is where the edge a-b meets the border."""
    out = []
    for i, current in enumerate(points):
        previous = points[i - 1]
        if keep(current):
            if not keep(previous):
                out.append(cut(previous, current))
            out.append(current)
        elif keep(previous):
            out.append(cut(previous, current))
    return out


def at_longitude(x):
    def cut(a, b):
        t = (x - a[0]) / (b[0] - a[0])
        return (x, a[1] + t * (b[1] - a[1]))
    return cut


def planar_rings(ring):
    """A ring of the sphere (closed, first point repeated) as rings of the
    plane of longitude -180..180 and latitude: a ring that crosses the
    antimeridian is cut there into rings on either side, and a ring that
    goes round a pole is closed along the antimeridian and the pole's
    parallel. Rings come back open (first point not repeated)."""
    unwrapped = [ring[0]]
    for x, y in ring[1:]:
        previous = unwrapped[-1][0]
        while x - previous > 180:
            x -= 360
        while x - previous < -180:
            x += 360
        unwrapped.append((x, y))
    turn = unwrapped[-1][0] - unwrapped[0][0]
    open_ring = unwrapped[:-1]
    if abs(turn) > 180:
        pole = -90.0 if sum(y for _, y in open_ring) < 0 else 90.0
        # The ring spans the whole circle once: end where it started, a turn
        # further on, then along the pole's parallel back.
        open_ring = open_ring + [(open_ring[0][0] + turn, open_ring[0][1]),
                                 (open_ring[0][0] + turn, pole), (open_ring[0][0], pole)]
    rings = []
    for shift in (-360, 0, 360):
        shifted = [(x + shift, y) for x, y in open_ring]
        if max(x for x, _ in shifted) <= -180 or min(x for x, _ in shifted) >= 180:
            continue
        piece = clip(shifted, lambda p: p[0] <= 180, at_longitude(180.0))
        piece = clip(piece, lambda p: p[0] >= -180, at_longitude(-180.0))
        if len(piece) >= 3:
            rings.append(piece)
    return rings


def quantized(ring):
    """A ring in whole units, without repeated points."""
    out = []
    for x, y in ring:
        point = (int(round(x * UNITS_PER_DEGREE)), int(round(y * UNITS_PER_DEGREE)))
        if not out or out[-1] != point:
            out.append(point)
    while len(out) > 1 and out[0] == out[-1]:
        out.pop()
    return out


def twice_area(ring):
    return sum(ring[i - 1][0] * ring[i][1] - ring[i][0] * ring[i - 1][1]
               for i in range(len(ring)))


def polygons_of(arcs, geometry):
    if geometry["type"] == "Polygon":
        return [geometry["arcs"]]
    if geometry["type"] == "MultiPolygon":
        return geometry["arcs"]
    return []


def inside(point, ring):
    """Whether point is inside the ring (even-odd rule)."""
    x, y = point
    result = False
    for i in range(len(ring)):
        (x1, y1), (x2, y2) = ring[i - 1], ring[i]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            result = not result
    return result


def plane_polygons(arcs, polygon):
    """A polygon of the sphere as polygons of the plane, each (outer ring,
    holes): more than one where the antimeridian cuts it. A ring that runs
    round a pole within 0.01 degrees of it is Natural Earth's closing of
    Antarctica at 89.999 degrees south, a hole of a few hundred metres
    around the pole: it is left out, so that the pole is in Antarctica, and
    the polygon's next ring becomes its outer ring."""
    rings = [ring_points(arcs, indices) for indices in polygon]
    rings = [r for r in rings if max(abs(y) for _, y in r) < 89.99]
    pieces = []
    for ring in rings:
        pieces.append([q for q in map(quantized, planar_rings(ring))
                       if len(q) >= 3 and twice_area(q) != 0])
    if not pieces:
        return []
    polygons = [(outer, []) for outer in pieces[0]]
    for hole in (h for hs in pieces[1:] for h in hs):
        owner = [p for p in polygons if inside(hole[0], p[0])] or polygons[:1]
        owner[0][1].append(hole)
    return polygons


def centre(ring):
    xs = [x for x, _ in ring]
    ys = [y for _, y in ring]
    return (min(xs) + max(xs)) / 2 / UNITS_PER_DEGREE, (min(ys) + max(ys)) / 2 / UNITS_PER_DEGREE


def area_owner(key, outer):
    """The code that a polygon of the outline of key belongs to (SEPARATE_AREAS)."""
    x, y = centre(outer)
    for source, target, (west, east, south, north) in SEPARATE_AREAS:
        if key == source and west <= x <= east and south <= y <= north:
            return target
    return key


def country_shapes(topology, rows):
    """{code or name: [(outer ring, holes), ...]} of the countries' outlines,
    with the areas ISO codes apart moved to their own codes."""
    numeric = {row["numeric"]: code for code, row in rows.items() if row["numeric"]}
    arcs = decode_arcs(topology)
    shapes = {}
    for geometry in topology["objects"]["countries"]["geometries"]:
        name = geometry["properties"]["name"]
        key = numeric.get(geometry.get("id")) or UNCODED_SHAPES.get(name) or name
        if geometry.get("id") and geometry["id"] not in numeric:
            fail("outline %s has the id %s, no ISO numeric code" % (name, geometry["id"]))
        for polygon in polygons_of(arcs, geometry):
            for outer, holes in plane_polygons(arcs, polygon):
                shapes.setdefault(area_owner(key, outer), []).append((outer, holes))
    return shapes


def land_shapes(topology):
    arcs = decode_arcs(topology)
    polygons = []
    for geometry in topology["objects"]["land"]["geometries"]:
        for polygon in polygons_of(arcs, geometry):
            polygons += plane_polygons(arcs, polygon)
    return {"": polygons}


def write_shapes(shapes, rows, path):
    """The binary outline file (format in data/geo/README.md)."""
    out = bytearray(MAGIC)
    out += struct.pack("<II", FORMAT_VERSION, len(shapes))
    points = 0
    for key in sorted(shapes, key=lambda k: (k not in rows, k)):
        if key in rows:
            code, number, name = key, rows[key]["numeric"], rows[key]["name"]
        else:
            code, number, name = "", "", key or "land"
        encoded = name.encode("utf-8")
        out += struct.pack("<2sHB", code.encode("ascii").ljust(2, b"\0"),
                           int(number or 0), len(encoded)) + encoded
        rings = []
        for outer, holes in shapes[key]:
            rings += [(outer, False)] + [(r, True) for r in holes]
        out += struct.pack("<I", len(rings))
        for ring, hole in rings:
            out += struct.pack("<I", len(ring) | (HOLE_FLAG if hole else 0))
            out += struct.pack("<%di" % (2 * len(ring)), *[v for p in ring for v in p])
            points += len(ring)
    with open(path, "wb") as f:
        f.write(out)
    return len(shapes), points, len(out)


def bounding_box(ring):
    xs = [x for x, _ in ring]
    ys = [y for _, y in ring]
    return min(xs), max(xs), min(ys), max(ys)


def missing_islands(finer, coarser):
    """The polygons of finer (country shapes at 1:10m) that no polygon of the
    same code in coarser (1:50m) covers: the small islands that the coarser
    outlines leave out. A polygon is left out when one of up to 16 of its
    outer ring's points, spread along it, lies inside the coarser outline."""
    kept = {}
    for key, polygons in finer.items():
        others = [(bounding_box(outer), outer) for outer, _ in coarser.get(key, [])]
        for outer, holes in polygons:
            step = max(1, len(outer) // 16)
            covered = False
            for x, y in outer[::step]:
                for (west, east, south, north), ring in others:
                    if west <= x <= east and south <= y <= north and inside((x, y), ring):
                        covered = True
                        break
                if covered:
                    break
            if not covered:
                kept.setdefault(key, []).append((outer, holes))
    return kept


# Areas that one country's outline holds and another country's name is
# also given to: a polygon of the first code, clipped to the box (west, east,
# south, north), is added to the second. Natural Earth's 1:50m Morocco holds
# the west of Western Sahara (Dakhla, Laayoune), its Western Sahara only the
# strip east of the berm; its Russia holds Crimea.
SHARED_AREAS = [
    ("MA", "EH", (-17.2, -8.6, 20.7, 27.67)),
    ("RU", "UA", (32.0, 36.65, 44.2, 46.3)),     # Crimea, which 1:50m draws in Russia
]


def at_latitude(y):
    def cut(a, b):
        t = (y - a[1]) / (b[1] - a[1])
        return (a[0] + t * (b[0] - a[0]), y)
    return cut


def shared_areas(coarser):
    """{code: [(outer, []), ...]} of the areas of SHARED_AREAS."""
    out = {}
    for source, target, (west, east, south, north) in SHARED_AREAS:
        u = UNITS_PER_DEGREE
        for outer, _ in coarser.get(source, []):
            ring = [(x / u, y / u) for x, y in outer]
            ring = clip(ring, lambda p: p[0] >= west, at_longitude(west))
            ring = clip(ring, lambda p: p[0] <= east, at_longitude(east))
            ring = clip(ring, lambda p: p[1] >= south, at_latitude(south))
            ring = clip(ring, lambda p: p[1] <= north, at_latitude(north))
            ring = quantized(ring)
            if len(ring) >= 3 and twice_area(ring) != 0:
                out.setdefault(target, []).append((ring, []))
    return out


def iso_codes_version():
    result = subprocess.run(["dpkg-query", "-W", "-f=${Version}", "iso-codes"],
                            capture_output=True, text=True)
    return result.stdout.strip() if result.returncode == 0 else "(version unknown)"


ADMIN1_CODES = "/usr/share/libtimezonemap/ui/admin1Codes.txt"


def write_divisions(path):
    """GeoNames' first-level divisions ("CH.25" -> "Zurich"), which name the
    states of GeoNames' cities files, from Debian's libtimezonemap-data."""
    if not os.path.exists(ADMIN1_CODES):
        fail("%s is missing (apt-get install libtimezonemap-data)" % ADMIN1_CODES)
    rows = []
    with open(ADMIN1_CODES, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if len(fields) >= 2 and "." in fields[0] and fields[1].strip():
                rows.append((fields[0], fields[1].strip()))
    rows.sort()
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("# GeoNames first-level divisions (admin1Codes.txt of Debian's\n")
        f.write("# libtimezonemap-data; GeoNames, CC BY 4.0). Written by\n")
        f.write("# scripts/make-geodata.py; see README.md.\n")
        f.write("code\tname\n")
        for code, name in rows:
            f.write("%s\t%s\n" % (code, name))
    return len(rows)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "geo")
    os.makedirs(output, exist_ok=True)
    folder = tempfile.mkdtemp(prefix="make-geodata.")
    try:
        archives = fetch(folder)
        rows = countries_table(archives)
        write_countries(rows, os.path.join(output, "countries.tsv"), iso_codes_version())
        note("countries.tsv: %d countries" % len(rows))
        note("divisions.tsv: %d divisions"
             % write_divisions(os.path.join(output, "divisions.tsv")))
        atlas = archives["world-atlas"]
        for scale in ("110m", "50m"):
            topology = json.loads(member(atlas, "countries-%s.json" % scale))
            shapes = country_shapes(topology, rows)
            for source, target in sorted(set((s, t) for s, t, _ in SEPARATE_AREAS)):
                if source in shapes and target not in shapes:
                    note("countries-%s: no area of %s is %s" % (scale, source, target))
            name = "countries-%s.bin" % scale
            note("%s: %d shapes, %d points, %d bytes"
                 % ((name,) + write_shapes(shapes, rows, os.path.join(output, name))))
            topology = json.loads(member(atlas, "land-%s.json" % scale))
            name = "land-%s.bin" % scale
            note("%s: %d shapes, %d points, %d bytes"
                 % ((name,) + write_shapes(land_shapes(topology), rows,
                                           os.path.join(output, name))))
        coarser = country_shapes(json.loads(member(atlas, "countries-50m.json")), rows)
        finer = country_shapes(json.loads(member(atlas, "countries-10m.json")), rows)
        extra = missing_islands(finer, coarser)
        for code, polygons in shared_areas(coarser).items():
            extra.setdefault(code, []).extend(polygons)
        name = "countries-extra.bin"
        note("%s: %d shapes, %d points, %d bytes"
             % ((name,) + write_shapes(extra, rows, os.path.join(output, name))))
    finally:
        shutil.rmtree(folder)


if __name__ == "__main__":
    main()
