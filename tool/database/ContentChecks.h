#ifndef METDB_TOOL_DATABASE_CONTENTCHECKS_H_
#define METDB_TOOL_DATABASE_CONTENTCHECKS_H_

#include <vector>

#include "tool/database/ContentCheck.h"
#include "tool/database/ContentItems.h"

namespace metdb {

// The checks of checkContent, one kind of finding (or a few that share
// their work) each. Each adds its findings, an ok one when it found
// nothing, and nothing at all when options turn it off. None changes the
// items; each may take a check point.
using ContentCheckFunction = void (*)(const ContentItems& items, const ContentCheckOptions& options,
                                      std::vector<Finding>* findings);

// Exact duplicates (names ignoring case, level and position as stored):
// each repeats the first of its kind in walk order. Not when
// options.exactDuplicates is off.
void checkExactDuplicates(const ContentItems& items, const ContentCheckOptions& options,
                          std::vector<Finding>* findings);

// Near duplicates: locations of one name (set aside case and accents) in
// one state within options.sameNameMetres, a fault; such pairs across
// states or countries, and any two of different names within
// options.anyTwoMetres, notes. The nearest pairs first.
void checkNearDuplicates(const ContentItems& items, const ContentCheckOptions& options,
                         std::vector<Finding>* findings);

// Positions off the globe (not finite, or beyond ±90 / ±180), with the
// position they would be if a decimal point had slipped or latitude and
// longitude were swapped, where that lies in the location's country.
void checkPositionsOnGlobe(const ContentItems& items, const ContentCheckOptions& options,
                           std::vector<Finding>* findings);

// Positions at exactly 0, 0.
void checkNullIsland(const ContentItems& items, const ContentCheckOptions& options,
                     std::vector<Finding>* findings);

// Positions more than options.countryToleranceKm outside their country
// (not those at 0, 0 or off the globe, which have their own findings):
// a finding for each kind of slip that explains some (diagnosePosition),
// whose examples name the corrected position, and one for the rest; each
// the farthest outside first, then the farthest from any other location
// of their country. Only with options.kmOutsideCountry.
void checkCountries(const ContentItems& items, const ContentCheckOptions& options,
                    std::vector<Finding>* findings);

// Names with control characters or bytes that are not UTF-8.
void checkNames(const ContentItems& items, const ContentCheckOptions& options,
                std::vector<Finding>* findings);

// Levels that fewer than one in a thousand records use, outside those the
// others use; not judged below 1000 locations.
void checkLevels(const ContentItems& items, const ContentCheckOptions& options,
                 std::vector<Finding>* findings);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_CONTENTCHECKS_H_
