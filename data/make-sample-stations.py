#!/usr/bin/env python3
"""Writes stations.csv, the sample station list, from the tz database.

Usage: data/make-sample-stations.py [ZONEINFO_DIR] [OUTPUT]
(defaults: /usr/share/zoneinfo and stations.csv beside this script).

Source: zone1970.tab and iso3166.tab of the tz database (public domain;
Debian package tzdata). Python 3 standard library only. Every row of
zone1970.tab becomes one station:

name       The zone's principal city: the part of the zone name after the
           last '/', underscores turned into spaces ("America/Port_of_Spain"
           gives "Port of Spain").
latitude,  The zone's coordinates, ISO 6709 +-DDMM[SS]+-DDDMM[SS], turned
longitude  into decimal degrees rounded to 4 places.
country    The name of the first country code of the row, from iso3166.tab.
           Names longer than the record's 30 bytes are left whole here;
           metdb cuts them (with a warning) when it reads the list.
continent  The zone name's first part, with two changes: "America" becomes
           "South America" for the countries listed in SOUTH_AMERICA below
           and "North America" for all others (Central America and the
           Caribbean included); the ocean areas "Atlantic", "Indian" and
           "Pacific" become "Atlantic Ocean", "Indian Ocean" and
           "Pacific Ocean".
state      The zone name's middle part when it has three parts
           ("America/Argentina/Salta" gives "Argentina",
           "America/Indiana/Vevay" gives "Indiana"), else the country name.
level      The rank of the zone within its country in the order of
           zone1970.tab, which lists a country's most populous zones first:
           1 for the first zone of a country, 2 for the second, and so on,
           5 for the fifth and all later ones.
seriesA1   Plausible monthly mean temperatures in degrees Celsius, January to
 ..12      December, from latitude alone (no real observations):
             mean      = 27 - 0.0075 * lat^2
             amplitude = 0.25 * |lat|
             T(month)  = mean + amplitude * cos(2 * pi * (month - peak) / 12)
           with peak = 7 (July) north of the equator and 1 (January) south
           of it, rounded to one decimal.
The other columns (auxValue, seriesB..E) are left out, so they read as 0.

The rows are written in the order of zone1970.tab; the file uses LF line
ends and quotes fields only where CSV needs it.
"""

import csv
import math
import os
import sys

SOUTH_AMERICA = {
    "AR", "BO", "BR", "CL", "CO", "EC", "FK", "GF", "GY", "PE", "PY", "SR",
    "UY", "VE",
}

OCEANS = {"Atlantic", "Indian", "Pacific"}


def read_tab(path):
    """The rows of a tz .tab file: tab-separated fields, '#' comments."""
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line and not line.startswith("#"):
                yield line.split("\t")


def iso6709(text):
    """+-DDMM[SS]+-DDDMM[SS] as (latitude, longitude) in decimal degrees."""
    split = max(text.rfind("+"), text.rfind("-"))
    return angle(text[:split], 2), angle(text[split:], 3)


def angle(part, degree_digits):
    sign = -1 if part[0] == "-" else 1
    digits = part[1:]
    degrees = int(digits[:degree_digits])
    minutes = int(digits[degree_digits:degree_digits + 2])
    seconds = int(digits[degree_digits + 2:] or 0)
    return sign * (degrees + minutes / 60 + seconds / 3600)


def continent_of(zone_area, country_code):
    if zone_area == "America":
        return "South America" if country_code in SOUTH_AMERICA else "North America"
    if zone_area in OCEANS:
        return zone_area + " Ocean"
    return zone_area


def temperatures(latitude):
    mean = 27 - 0.0075 * latitude * latitude
    amplitude = 0.25 * abs(latitude)
    peak = 7 if latitude >= 0 else 1
    return [round(mean + amplitude * math.cos(2 * math.pi * (m - peak) / 12), 1)
            for m in range(1, 13)]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    zoneinfo = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/zoneinfo"
    output = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "stations.csv")

    countries = {row[0]: row[1] for row in read_tab(os.path.join(zoneinfo, "iso3166.tab"))}
    zones_seen = {}
    rows = []
    for row in read_tab(os.path.join(zoneinfo, "zone1970.tab")):
        codes, coordinates, zone = row[0], row[1], row[2]
        code = codes.split(",")[0]
        parts = zone.split("/")
        country = countries[code]
        latitude, longitude = iso6709(coordinates)
        zones_seen[code] = zones_seen.get(code, 0) + 1
        rows.append([
            parts[-1].replace("_", " "),
            parts[1].replace("_", " ") if len(parts) == 3 else country,
            country,
            continent_of(parts[0], code),
            min(zones_seen[code], 5),
            "%.4f" % latitude,
            "%.4f" % longitude,
        ] + ["%.1f" % t for t in temperatures(latitude)])

    header = ["name", "state", "country", "continent", "level", "latitude", "longitude"]
    header += ["seriesA%d" % m for m in range(1, 13)]
    with open(output, "w", encoding="utf-8", newline="") as f:
        writer = csv.writer(f, lineterminator="\n")
        writer.writerow(header)
        writer.writerows(rows)
    print("%s: %d stations" % (output, len(rows)))


if __name__ == "__main__":
    main()
