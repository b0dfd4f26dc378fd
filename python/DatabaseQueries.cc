#include "python/DatabaseQueries.h"

#include <cmath>
#include <limits>
#include <set>

#include "python/PythonErrors.h"
#include "tool/Error.h"
#include "tool/database/SelectedLocations.h"
#include "tool/geo/NearestQuery.h"
#include "tool/search/LocationSearch.h"
#include "tool/search/SearchIndex.h"
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
  const std::size_t most = limit == 0 ? std::numeric_limits<std::size_t>::max() : limit;
  const std::set<long> identified = identifiedLocations(*db, text);
  const SearchIndex* index = database.searchIndex();
  result = index != nullptr ? index->search(text, filters, most, identified)
                            : searchLocations(db->directory, text, filters, most, identified);
  std::vector<MatchValue> found(result.hits.size());
  StationFile stations(*db);
  for (std::size_t i = 0; i < found.size(); ++i) {
    const SearchHit& hit = result.hits[i];
    found[i].location.index = hit.location->locationIndex;
    db->getLocationData(found[i].location.index, found[i].location.record);
    takeStation(stations, &found[i].location);
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
  NearestQuery query;
  query.latitude = latitude;
  query.longitude = longitude;
  query.count = static_cast<std::size_t>(count);
  if (maxKm >= 0.0) query.maxKm = maxKm;
  query.withinKm = withinKm;
  NearestAnswer answer = answerNearest(query, selected.entries(), db);
  if (!answer.warning.empty()) warn(answer.warning);
  const std::vector<NearLocation>& found = answer.found;
  std::vector<NearValue> out(found.size());
  StationFile stations(*db);
  for (std::size_t i = 0; i < found.size(); ++i) {
    out[i].location.index = found[i].recordIndex;
    out[i].location.record = found[i].record;
    takeStation(stations, &out[i].location);
    out[i].distanceKm = found[i].metres / 1000.0;
    out[i].bearing = found[i].bearing;
  }
  return out;
}

}  // namespace python
}  // namespace metdb
