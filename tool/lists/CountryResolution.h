#ifndef METDB_TOOL_LISTS_COUNTRYRESOLUTION_H_
#define METDB_TOOL_LISTS_COUNTRYRESOLUTION_H_

#include "tool/lists/StationMapping.h"

namespace metdb {

// Countries by ISO 3166-1 alpha-2 code, FIPS 10-4 code or name, from the
// project's table of countries. The table is read on first use; a table
// that cannot be read throws Error from the resolver.
CountryResolver standardCountryResolver();

// The name of a first-level division from GeoNames' codes (country "CH",
// division "ZH" -> "Zürich"), empty when the table has none.
using DivisionNamer = std::function<std::string(const std::string&, const std::string&)>;

// Divisions from the project's table (data/geo/divisions.tsv), read on
// first use; a table that cannot be read throws Error from the namer.
DivisionNamer standardDivisionNamer();

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_COUNTRYRESOLUTION_H_
