#ifndef METDB_DATAFILE_STATIONINFO_H_
#define METDB_DATAFILE_STATIONINFO_H_

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

// What a database knows of a location beyond its 331-byte record: the
// identifiers published lists give it, its elevation, time zone, years of
// operation and where it came from. Kept in the database's station file
// (StationFile), beside the data file, so that the record and the files
// hosts read stay as they are. Header only: every operation is inline.
struct StationInfo {
  // Identifiers "scheme:value" (ghcn, wmo, icao, iata, usaf-wban, geonames,
  // ourairports, or a scheme of the user's): the scheme lower case, the
  // value without blanks or control characters. Kept in the order added,
  // each once.
  std::vector<std::string> ids;
  // Metres above sea level; NaN when unknown (never 0 or -999.9 for that).
  double elevation = std::nan("");
  // An IANA time zone ("Europe/Oslo"); empty when unknown.
  std::string timeZone;
  // First and last day of operation, "YYYY-MM-DD"; empty: open.
  std::string activeFrom;
  std::string activeTo;
  // Where the location came from: the list's format and line
  // ("ghcnd-stations line 3"); empty when unknown.
  std::string source;

  // Whether the elevation is known.
  bool hasElevation() const { return !std::isnan(elevation); }

  // Whether nothing is known.
  bool empty() const {
    return ids.empty() && !hasElevation() && timeZone.empty() && activeFrom.empty() &&
           activeTo.empty() && source.empty();
  }

  // Adds id unless held already; false when it was.
  bool addId(const std::string& id) {
    if (std::find(ids.begin(), ids.end(), id) != ids.end()) return false;
    ids.push_back(id);
    return true;
  }

  // The value of the first identifier of scheme ("" when none).
  std::string idOf(const std::string& scheme) const {
    for (const std::string& id : ids) {
      if (id.size() > scheme.size() && id.compare(0, scheme.size(), scheme) == 0 &&
          id[scheme.size()] == ':') {
        return id.substr(scheme.size() + 1);
      }
    }
    return "";
  }

  // Joins other in: its identifiers that this one lacks are added, and
  // every field this one leaves unknown takes other's value.
  void mergeFrom(const StationInfo& other) {
    for (const std::string& id : other.ids) addId(id);
    if (!hasElevation()) elevation = other.elevation;
    if (timeZone.empty()) timeZone = other.timeZone;
    if (activeFrom.empty()) activeFrom = other.activeFrom;
    if (activeTo.empty()) activeTo = other.activeTo;
    if (source.empty()) source = other.source;
  }

  // Whether the location operated on day ("YYYY-MM-DD"): open ends always
  // hold; dates compare as text, which their fixed form orders.
  bool activeOn(const std::string& day) const {
    if (!activeFrom.empty() && day < activeFrom) return false;
    if (!activeTo.empty() && day > activeTo) return false;
    return true;
  }

  // Whether every field is the same (unknown elevations are equal).
  bool operator==(const StationInfo& o) const {
    bool sameElevation =
        hasElevation() == o.hasElevation() && (!hasElevation() || elevation == o.elevation);
    return ids == o.ids && sameElevation && timeZone == o.timeZone && activeFrom == o.activeFrom &&
           activeTo == o.activeTo && source == o.source;
  }
  // The opposite of ==.
  bool operator!=(const StationInfo& o) const { return !(*this == o); }
};

#endif  // METDB_DATAFILE_STATIONINFO_H_
