#ifndef METDB_TOOL_LISTS_ISDHISTORY_H_
#define METDB_TOOL_LISTS_ISDHISTORY_H_

#include <istream>

#include "tool/lists/ListedStation.h"

namespace metdb {

// NOAA ISD's station history (isd-history.csv): a CSV with the columns
// USAF, WBAN, STATION NAME, CTRY (FIPS 10-4), STATE, ICAO, LAT, LON,
// ELEV(M), BEGIN, END. Stations without a position or a country are
// faults of their rows (the list holds many). Level, unless given: 1 for
// stations with an ICAO code, 2 for the rest.
ListedStations readIsdHistory(std::istream& in, const ListOptions& options);

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_ISDHISTORY_H_
