#ifndef METDB_TOOL_DATABASE_STATIONCHECK_H_
#define METDB_TOOL_DATABASE_STATIONCHECK_H_

#include <functional>
#include <string>
#include <vector>

#include "datafile/LocationData.h"
#include "datafile/StationInfo.h"
#include "tool/database/Database.h"
#include "tool/database/DatabaseCheck.h"

namespace metdb {

// A location with station information, as a check of it sees it.
struct StationLocation {
  std::string path;  // "Continent/Country/State/Name (record N)"
  std::string country;
  const LocationData* record;
  const StationInfo* info;
};

// One check of a location's station information: a row of the report.
struct StationCheck {
  const char* one;   // the finding for one location ("location has ...")
  const char* many;  // for several
  const char* ok;    // when none
  // What is wrong with the location, as a phrase for its example; "" when
  // nothing is.
  std::function<std::string(const StationLocation&)> fault;
  // Whether what it finds is worth a look rather than wrong: a note.
  bool note = false;
};

// The checks of each location's station information: malformed
// identifiers (a WMO number of five digits, an ICAO code of four letters or
// digits, a GHCN-Daily ID of eleven characters) and elevations outside
// -430..8850 m, time zones that tzdata does not know or that are not the
// country's (a note where the position lies in that zone: near a border).
// Another check is one more element.
std::vector<StationCheck> stationChecks();

// Checks the station file against the data file: that it reads, that each
// entry fits the record it names (by its fingerprint), that each entry's
// record is referred to by a location; says how to repair what does not
// hold. Nothing when there is no station file.
std::vector<Finding> checkStationFile(Database& access);

// checks for every location with station information, and moreover an
// identifier held by two locations whose years of operation overlap.
std::vector<Finding> checkStationContent(Database& access, const std::vector<StationCheck>& checks);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_STATIONCHECK_H_
