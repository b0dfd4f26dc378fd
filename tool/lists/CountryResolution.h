#ifndef METDB_TOOL_LISTS_COUNTRYRESOLUTION_H_
#define METDB_TOOL_LISTS_COUNTRYRESOLUTION_H_

#include "tool/lists/StationMapping.h"

namespace metdb {

// Countries by ISO 3166-1 alpha-2 code, FIPS 10-4 code or name, from the
// project's table of countries, and by GHCN-Daily's codes from its own
// table (FIPS 10-4 for a code that it lacks). The tables are read on first
// use; a table that cannot be read throws Error from the resolver.
CountryResolver standardCountryResolver();

// The names of GHCN-Daily's states and provinces for ListOptions::ghcnState,
// from the project's copy of its table (data/geo/ghcnd-states.tsv), read on
// first use; a table that cannot be read throws Error from the namer.
std::function<std::string(const std::string&, const std::string&)> standardGhcnStateNamer();

// The name of a first-level division from GeoNames' codes (country "CH",
// division "ZH" -> "Zürich"), empty when the table has none.
using DivisionNamer = std::function<std::string(const std::string&, const std::string&)>;

// Divisions from the project's table (data/geo/divisions.tsv), read on
// first use; a table that cannot be read throws Error from the namer.
DivisionNamer standardDivisionNamer();

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_COUNTRYRESOLUTION_H_
