#include "python/DatabaseQueries.h"

#include <cmath>
#include <limits>

#include "python/PythonErrors.h"
#include "tool/Error.h"
#include "tool/database/SelectedLocations.h"
#include "tool/geo/NearestLocations.h"
#include "tool/search/LocationSearch.h"
#include "tool/text/Text.h"

namespace metdb {
namespace python {

namespace {

void checkWithin(const char* what, double value, double limit) {
  if (!std::isfinite(value) || value < -limit || value > limit) {
    throw BindingError(ErrorKind::kBadInput, std::string(what) + ": " + text::shortestFloat(value) +
                                                 " is outside " + text::shortestFloat(-limit) +
                                                 ".." + text::shortestFloat(limit) + ".");
  }
}

}  // namespace

std::vector<MatchValue> findLocations(OpenDatabase& database, const std::string& text,
                                      std::size_t limit, const Filters& filters) {
  BMTFile* db = database.db();
  SearchResult result;
  try {
    result = searchLocations(db->directory, text, filters,
                             limit == 0 ? std::numeric_limits<std::size_t>::max() : limit);
  } catch (const Error& e) {
    // Only the text and the filters can be at fault here.
    throw BindingError(ErrorKind::kBadInput, e.what());
  }
  std::vector<MatchValue> found(result.hits.size());
  for (std::size_t i = 0; i < found.size(); ++i) {
    const SearchHit& hit = result.hits[i];
    found[i].location.index = hit.location->locationIndex;
    db->getLocationData(found[i].location.index, found[i].location.record);
    found[i].kind = matchKindName(hit.match.kind);
    found[i].errors = hit.match.errors;
    found[i].matchedIn = matchedLevelName(hit.matchedLevel);
  }
  return found;
}

std::vector<NearValue> nearestLocations(OpenDatabase& database, double latitude, double longitude,
                                        long count, double maxKm, double withinKm,
                                        const Filters& filters) {
  checkWithin("latitude", latitude, 90.0);
  checkWithin("longitude", longitude, 180.0);
  if (count < 1) {
    throw BindingError(ErrorKind::kBadInput, "count: " + std::to_string(count) + " is below 1.");
  }
  if (std::isnan(maxKm) || std::isnan(withinKm)) {
    throw BindingError(ErrorKind::kBadInput, "A distance is not a number.");
  }
  BMTFile* db = database.db();
  SelectedLocations selected;
  selected.build(filters, db);
  NearestLocations index(selected.entries());
  if (index.unusable() > 0) {
    warn(text::plural(index.unusable(), "selected location has", "selected locations have") +
         " no usable position and " + (index.unusable() == 1 ? "was" : "were") + " left out.");
  }
  double limitKm =
      withinKm >= 0.0 ? withinKm : (maxKm >= 0.0 ? maxKm : std::numeric_limits<double>::infinity());
  std::size_t k =
      withinKm >= 0.0 ? std::numeric_limits<std::size_t>::max() : static_cast<std::size_t>(count);
  std::vector<NearLocation> found = index.nearest(
      latitude, longitude, k,
      [db](long recordIndex, LocationData& record) { db->getLocationData(recordIndex, record); },
      limitKm * 1000.0);
  std::vector<NearValue> out(found.size());
  for (std::size_t i = 0; i < found.size(); ++i) {
    out[i].location.index = found[i].recordIndex;
    out[i].location.record = found[i].record;
    out[i].distanceKm = found[i].metres / 1000.0;
    out[i].bearing = found[i].bearing;
  }
  return out;
}

}  // namespace python
}  // namespace metdb
