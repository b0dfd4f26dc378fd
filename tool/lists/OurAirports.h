#ifndef METDB_TOOL_LISTS_OURAIRPORTS_H_
#define METDB_TOOL_LISTS_OURAIRPORTS_H_

#include <istream>

#include "tool/lists/ListedStation.h"

namespace metdb {

// The OurAirports airports table (airports.csv): a CSV with the columns
// ident, type, name, latitude_deg, longitude_deg, iso_country (ISO 3166-1
// alpha-2), iso_region ("US-CA") among others. The state is the region's
// part after the country ("CA"). Only the types of options.types are kept
// ("large_airport", or "large" for short), else all but closed airports.
// Level, unless given: 1 large airports, 2 medium, 3 small, 4 the rest
// (heliports, seaplane bases, balloon ports).
ListedStations readOurAirports(std::istream& in, const ListOptions& options);

// The types the table uses, for --type's check and help.
const std::vector<std::string>& ourAirportsTypes();

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_OURAIRPORTS_H_
