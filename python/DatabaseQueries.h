#ifndef METDB_PYTHON_DATABASEQUERIES_H_
#define METDB_PYTHON_DATABASEQUERIES_H_

#include <cstddef>
#include <string>
#include <vector>

#include "python/LocationValue.h"
#include "python/OpenDatabase.h"
#include "tool/database/Filters.h"

namespace metdb {
namespace python {

// A location found by name (metdb.Match): how it matched ("exact",
// "prefix", "word", "substring" or "near miss"), with how many typing
// errors, and where ("name", "state", "country", "continent").
struct MatchValue {
  LocationValue location;
  std::string kind;
  int errors = 0;
  std::string matchedIn;
};

// A location found near a point (metdb.Near): the geodesic distance in km
// and the initial bearing from the point in degrees (0 north, clockwise).
struct NearValue {
  LocationValue location;
  double distanceKm = 0.0;
  double bearing = 0.0;
};

// The locations among those filters select whose name, or state, country
// or continent, matches text as people type it, best first: at most limit
// of them (0: all). As the tool's find. Throws BindingError(kBadInput)
// when text has no searchable character.
std::vector<MatchValue> findLocations(OpenDatabase& database, const std::string& text,
                                      std::size_t limit, const Filters& filters);

// The count locations nearest to (latitude, longitude) among those filters
// select, at most maxKm away (negative: no limit), nearest first; with
// within (withinKm >= 0) every location at most withinKm away instead. As
// the tool's nearest. Locations without a usable position are left out,
// with a metdb.MetdbWarning. Throws BindingError(kBadInput) for a position or
// count out of range.
std::vector<NearValue> nearestLocations(OpenDatabase& database, double latitude, double longitude,
                                        long count, double maxKm, double withinKm,
                                        const Filters& filters);

}  // namespace python
}  // namespace metdb

#endif  // METDB_PYTHON_DATABASEQUERIES_H_
