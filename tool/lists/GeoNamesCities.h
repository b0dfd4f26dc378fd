#ifndef METDB_TOOL_LISTS_GEONAMESCITIES_H_
#define METDB_TOOL_LISTS_GEONAMESCITIES_H_

#include <istream>
#include <string>

#include "tool/lists/ListedStation.h"

namespace metdb {

// GeoNames' cities files (cities15000.txt and the like): tab-separated,
// unquoted, 19 fields: geonameid, name, asciiname, alternatenames,
// latitude, longitude, feature class, feature code, country code (ISO
// 3166-1 alpha-2), cc2, admin1 code, admin2..4 codes, population,
// elevation, dem, timezone, modification date. The state is the first-level
// division's name (options.division), else its code. Level, unless given,
// by population: 1 from a million, 2 from 100,000, 3 from 10,000, 4 below.
ListedStations readGeoNamesCities(std::istream& in, const ListOptions& options);

// Whether line looks like one of those lines.
bool looksLikeGeoNamesLine(const std::string& line);

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_GEONAMESCITIES_H_
