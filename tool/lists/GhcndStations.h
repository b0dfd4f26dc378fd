#ifndef METDB_TOOL_LISTS_GHCNDSTATIONS_H_
#define METDB_TOOL_LISTS_GHCNDSTATIONS_H_

#include <istream>

#include "tool/lists/ListedStation.h"

namespace metdb {

// NOAA GHCN-Daily's station list (ghcnd-stations.txt), fixed columns,
// counted from 1:
//    1-11 ID (its first two characters: the country's FIPS 10-4 code)
//   13-20 latitude, 22-30 longitude, 32-37 elevation (m)
//   39-40 state (US and Canadian stations), 42-71 name
//   73-75 GSN flag, 77-79 HCN/CRN flag, 81-85 WMO ID
// Level, unless given: 1 for GCOS Surface Network stations, 2 for HCN or
// CRN stations, 3 for others with a WMO ID, 4 for the rest. Names are
// taken as written (upper case) without trailing blanks. Each line is a
// check point.
ListedStations readGhcndStations(std::istream& in, const ListOptions& options);

// Whether line looks like one of that list's lines.
bool looksLikeGhcndLine(const std::string& line);

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_GHCNDSTATIONS_H_
