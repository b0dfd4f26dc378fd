#ifndef METDB_TOOL_GEO_NEARESTQUERY_H_
#define METDB_TOOL_GEO_NEARESTQUERY_H_

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "datafile/BMTFile.h"
#include "directory/Location.h"
#include "tool/geo/NearestLocations.h"

namespace metdb {

// What is asked for the locations nearest to a point.
struct NearestQuery {
  double latitude = 0.0;
  double longitude = 0.0;
  std::size_t count = 5;                                   // how many, without withinKm
  double maxKm = std::numeric_limits<double>::infinity();  // none farther than this
  double withinKm = -1.0;  // 0 or more: every location this near, whatever the count

  // The farthest an answer may lie: withinKm when given, else maxKm.
  double limitKm() const { return withinKm >= 0.0 ? withinKm : maxKm; }
};

struct NearestAnswer {
  std::vector<NearLocation> found;  // nearest first
  std::size_t searched = 0;         // the entries with a usable position
  // "", or the sentence saying how many entries have no usable position and
  // were left out.
  std::string warning;
};

// Answers query among entries (a selection of db's directory), reading
// from db the records that may be answers. The entries must belong to db.
// A BMTFile* thrown by a read passes out.
NearestAnswer answerNearest(const NearestQuery& query, const std::vector<Location*>& entries,
                            BMTFile* db);

}  // namespace metdb

#endif  // METDB_TOOL_GEO_NEARESTQUERY_H_
