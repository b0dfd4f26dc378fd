#ifndef METDB_TOOL_PLACES_COUNTRYCHECK_H_
#define METDB_TOOL_PLACES_COUNTRYCHECK_H_

#include <functional>
#include <memory>
#include <string>

namespace metdb {

// The distance in km from a position to the country of a name (0 inside
// it), or a negative number when the country is not known.
using CountryDistance =
    std::function<double(const std::string& country, double latitude, double longitude)>;

// How far a position lies outside the country a record names: the country
// found by its name (CountryCodes, ignoring case and accents), measured
// against its 1:50m outline with the small islands that the 1:10m outlines
// add and the areas it shares with another outline (Western Sahara's with
// Morocco's; extraCountryOutlinesPath, CountryShapes). Returns the distance in km (0
// inside), or a negative number when the name is no known country or the
// country has no outline at that scale. The table and the outlines are
// read when this is made; throws Error when they cannot be. The answers
// for a name are kept, so that a million records of a few hundred
// countries look each name up once.
CountryDistance makeCountryDistance();

}  // namespace metdb

#endif  // METDB_TOOL_PLACES_COUNTRYCHECK_H_
