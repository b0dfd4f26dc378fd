#ifndef METDB_TOOL_DATABASE_RECORDMATCH_H_
#define METDB_TOOL_DATABASE_RECORDMATCH_H_

#include <cstring>
#include <string>

#include "datafile/LocationData.h"
#include "tool/record/NameField.h"
#include "tool/text/Text.h"

namespace metdb {

// How the edits compare records: equal locations have the same names
// (ignoring case), level and position, the position as the data file holds
// it.

// Whether a and b are the same float, bit for bit where == says no (NaN).
inline bool sameFloat(float a, float b) { return a == b || std::memcmp(&a, &b, sizeof a) == 0; }

// A directory read from its file holds coordinates rounded to two decimals,
// so a location is only a candidate until its record is compared.
inline bool roundsAlike(float a, float b) {
  return text::fixedFloat(a, 2) == text::fixedFloat(b, 2);
}

// Whether a and b are the same location for the directory: the same names
// (ignoring case), level and position.
inline bool sameKeys(const LocationData& a, const LocationData& b) {
  float alat = a.latitude, blat = b.latitude, alon = a.longitude, blon = b.longitude;
  return text::equalIgnoringCase(fieldText(a.continent), fieldText(b.continent)) &&
         text::equalIgnoringCase(fieldText(a.country), fieldText(b.country)) &&
         text::equalIgnoringCase(fieldText(a.state), fieldText(b.state)) &&
         text::equalIgnoringCase(fieldText(a.name), fieldText(b.name)) && a.level == b.level &&
         std::memcmp(&alat, &blat, sizeof alat) == 0 && std::memcmp(&alon, &blon, sizeof alon) == 0;
}

// Whether two records of the same names (ignoring case) are equal as
// findEqual compares them: the same level and position.
inline bool samePlace(const LocationData& a, const LocationData& b) {
  return a.level == b.level && sameFloat(a.latitude, b.latitude) &&
         sameFloat(a.longitude, b.longitude);
}

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_RECORDMATCH_H_
