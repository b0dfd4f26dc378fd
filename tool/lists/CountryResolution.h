#ifndef METDB_TOOL_LISTS_COUNTRYRESOLUTION_H_
#define METDB_TOOL_LISTS_COUNTRYRESOLUTION_H_

#include "tool/lists/StationMapping.h"

namespace metdb {

// Countries by ISO 3166-1 alpha-2 code, FIPS 10-4 code or name, from the
// project's table of countries. The table is read on first use; a table
// that cannot be read throws Error from the resolver.
CountryResolver standardCountryResolver();

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_COUNTRYRESOLUTION_H_
