#include "tool/geo/NearestQuery.h"

#include "tool/text/Text.h"

namespace metdb {

NearestAnswer answerNearest(const NearestQuery& query, const std::vector<Location*>& entries,
                            BMTFile* db) {
  NearestLocations index(entries);
  NearestAnswer answer;
  answer.searched = index.size();
  if (index.unusable() > 0) {
    answer.warning =
        text::plural(index.unusable(), "selected location has", "selected locations have") +
        " no usable position and " + (index.unusable() == 1 ? "was" : "were") + " left out.";
  }
  std::size_t count = query.withinKm >= 0.0 ? std::numeric_limits<std::size_t>::max() : query.count;
  answer.found = index.nearest(
      query.latitude, query.longitude, count,
      [db](long recordIndex, LocationData& record) { db->getLocationData(recordIndex, record); },
      query.limitKm() * 1000.0);
  return answer;
}

}  // namespace metdb
