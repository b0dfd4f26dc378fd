#ifndef METDB_TOOL_DATABASE_CONTENTCHECK_H_
#define METDB_TOOL_DATABASE_CONTENTCHECK_H_

#include <functional>
#include <string>
#include <vector>

#include "tool/database/Database.h"
#include "tool/database/DatabaseCheck.h"
#include "tool/database/PositionDiagnosis.h"

namespace metdb {

// What checkContent is given beyond the database.
struct ContentCheckOptions {
  // The distance in km from a position to the outline of the country of
  // that name (0 inside it), or a negative number when the country is not
  // known. Unset: positions are not checked against countries.
  CountryDistance kmOutsideCountry;
  // How far outside its country a location may lie before it is reported:
  // coastlines are drawn coarsely, and stations stand on capes and piers.
  double countryToleranceKm = 25.0;
  // Whether exact duplicates are looked for (not when they were kept on
  // purpose).
  bool exactDuplicates = true;
  // Near duplicates: the same name within this distance, any two locations
  // within the second.
  double sameNameMetres = 1000.0;
  double anyTwoMetres = 10.0;
};

// Checks what the records say, as a maintainer of station data would:
// exact duplicates (names ignoring case, level and position as stored);
// near duplicates (the same name, set aside case and accents, within
// sameNameMetres; any two locations within anyTwoMetres); positions at
// 0,0, not finite, or outside -90..90 / -180..180; positions outside their
// country, with the distance and the slip that explains one where there is
// one (diagnosePosition: swapped, a lost sign, a moved decimal point,
// degrees and minutes read as decimals); names holding control characters
// or bytes that are not UTF-8; levels that only a handful of records use,
// outside those the database otherwise uses (ContentChecks.h has each).
// Each finding names the locations by path and record index, the most
// suspicious first. The walk is the directory's; each record is read once.
std::vector<Finding> checkContent(Database& access, const ContentCheckOptions& options);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_CONTENTCHECK_H_
