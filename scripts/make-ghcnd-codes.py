#!/usr/bin/env python3
"""Writes GHCN-Daily's code tables of data/geo/ from NOAA's own files.

Usage: scripts/make-ghcnd-codes.py COUNTRIES STATES [OUTPUT_DIR]
  COUNTRIES  NOAA NCEI's ghcnd-countries.txt
             (https://www.ncei.noaa.gov/pub/data/ghcn/daily/ghcnd-countries.txt)
  STATES     its ghcnd-states.txt, beside it
  OUTPUT_DIR default: data/geo/ of the source tree this script is in, which
             must hold countries.tsv (scripts/make-geodata.py writes it)

Needs python3 only. The build never runs it: its output is committed.

Writes (data/geo/README.md gives the format):
  ghcnd-countries.tsv  each GHCN-Daily country code with the ISO 3166-1
                       alpha-2 code of the country of countries.tsv that
                       it names
  ghcnd-states.tsv     each GHCN-Daily state or province code with the
                       countries it is used in and its name

A GHCN code names the country whose FIPS 10-4 codes in countries.tsv hold
it; the script fails for a code that names no country, so that a new NOAA
file cannot be taken in silently.
"""

import os
import sys

# Words that stay in lower case within a state's name, and names that NOAA
# writes in capitals but that are not title case.
SMALL_WORDS = {"and", "of"}
STATE_NAMES = {"UM": "U.S. Minor Outlying Islands"}

# The countries (ISO 3166-1 alpha-2) whose stations a state code may name:
# a code stands for a state only there, so that a list's state column of
# another country ("NS" in Australia) is not taken for Nova Scotia. The
# United States' own states are the rest; its territories are filed both
# as themselves and as the United States.
PROVINCES = {"AB", "BC", "MB", "NB", "NL", "NS", "NT", "NU", "ON", "PE", "QC", "SK", "YT"}
TERRITORIES = {
    "AS": ["AS"], "FM": ["FM"], "GU": ["GU"], "MH": ["MH"], "MP": ["MP"], "PR": ["PR"],
    "PW": ["PW"], "UM": ["UM"], "VI": ["VI"],
    "PI": ["FM", "MH", "MP", "PW"],  # the former Trust Territory of the Pacific Islands
}


def state_countries(code):
    if code in PROVINCES:
        return ["CA"]
    return TERRITORIES.get(code, []) + ["US"]


def fail(message):
    sys.exit("make-ghcnd-codes.py: " + message)


def read_codes(path):
    """[(code, name)] of a NOAA table: two characters, a blank, the name."""
    rows = []
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line.strip():
                continue
            if len(line) < 4 or line[2] != " " or not line[:2].isalnum():
                fail("%s:%d is not a code and a name" % (path, number))
            rows.append((line[:2], line[3:].strip()))
    return rows


def iso_by_fips(countries_tsv):
    owner = {}
    with open(countries_tsv, encoding="utf-8") as f:
        lines = [l.rstrip("\n") for l in f if not l.startswith("#")]
    header = lines[0].split("\t")
    iso2, fips = header.index("iso2"), header.index("fips")
    for line in lines[1:]:
        cells = line.split("\t")
        for code in filter(None, cells[fips].split(",")):
            owner[code] = cells[iso2]
    return owner, {line.split("\t")[iso2] for line in lines[1:]}


def title(name):
    words = name.lower().split()
    return " ".join(w if i > 0 and w in SMALL_WORDS else w.capitalize()
                    for i, w in enumerate(words))


def write_table(path, about, header, rows):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        for line in about.split("\n"):
            f.write("# %s\n" % line)
        f.write("# Written by scripts/make-ghcnd-codes.py; see README.md.\n")
        for row in [header] + rows:
            f.write("\t".join(row) + "\n")


def main():
    if len(sys.argv) not in (3, 4):
        fail("usage: make-ghcnd-codes.py COUNTRIES STATES [OUTPUT_DIR]")
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[3] if len(sys.argv) == 4 else os.path.join(here, "..", "data", "geo")
    owner, known = iso_by_fips(os.path.join(out, "countries.tsv"))

    countries = []
    for code, name in sorted(read_codes(sys.argv[1])):
        iso = owner.get(code)
        if iso not in known:
            fail("GHCN's %s (%s) names no country of countries.tsv" % (code, name))
        countries.append((code, iso, name))
    write_table(os.path.join(out, "ghcnd-countries.tsv"),
                "GHCN-Daily's country codes (NOAA NCEI ghcnd-countries.txt, public domain)\n"
                "with the ISO 3166-1 country of countries.tsv each names.",
                ("ghcn", "iso2", "ghcn_name"), countries)
    states = [(code, ",".join(state_countries(code)), STATE_NAMES.get(code) or title(name))
              for code, name in sorted(read_codes(sys.argv[2]))]
    write_table(os.path.join(out, "ghcnd-states.tsv"),
                "GHCN-Daily's state and province codes (NOAA NCEI ghcnd-states.txt,\n"
                "public domain) with the countries they are used in and their names.",
                ("ghcn", "countries", "name"), states)
    print("%d countries, %d states" % (len(countries), len(states)))


if __name__ == "__main__":
    main()
