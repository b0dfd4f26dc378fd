#ifndef METDB_TOOL_LISTS_STATIONMAPPING_H_
#define METDB_TOOL_LISTS_STATIONMAPPING_H_

#include <functional>
#include <string>

#include "tool/lists/ListedStation.h"
#include "tool/record/StationCsv.h"

namespace metdb {

// A country as the database stores it.
struct CountryNaming {
  std::string name;
  std::string continent;
};

// Finds the country of a code (or, for CountryCode::kName, of a name);
// false when there is none.
using CountryResolver =
    std::function<bool(const std::string& code, CountryCode kind, CountryNaming* naming)>;

// Turns listed stations into records: the country's name and continent
// from its code, names cut to their fields at a character boundary (one
// warning per field that was cut, with the count and the first line),
// positions and level as listed, further fields set from their text. A
// station that cannot become a record (an unknown country code, a name
// holding control characters, a country named without a continent that
// the resolver knows) is an error of its line; with skipBadRows it is left
// out and the others go on, else the first ends the mapping. The listed
// stations' own warnings and errors come first in the result.
StationCsvResult mapStations(ListedStations listed, const CountryResolver& resolve,
                             bool skipBadRows);

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_STATIONMAPPING_H_
