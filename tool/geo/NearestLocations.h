#ifndef METDB_TOOL_GEO_NEARESTLOCATIONS_H_
#define METDB_TOOL_GEO_NEARESTLOCATIONS_H_

#include <cstddef>
#include <functional>
#include <limits>
#include <vector>

#include "datafile/LocationData.h"
#include "directory/Location.h"
#include "tool/geo/GeoIndex.h"

namespace metdb {

// One location found near a point: its record, the geodesic distance in
// metres from the point to the record's position and the initial bearing
// in degrees (0 north, clockwise, below 360).
struct NearLocation {
  long recordIndex;
  LocationData record;
  double metres;
  double bearing;
};

// Reads record index into record (the database's getLocationData).
using RecordReader = std::function<void(long index, LocationData& record)>;

// The locations nearest to a point among directory entries, answered from
// the positions the directory holds, reading only the records that can be
// among the answers.
//
// A directory file keeps each record's coordinates rounded to 0.01°, so an
// entry's position lies within kDirectorySlackDegrees of its record's in
// latitude and in longitude, which is less than kDirectorySlackMetres
// along the ground anywhere. Searching the entries with that slack on both
// sides gives every location whose record can be among the answers; the
// distances and the order are then those of the records' own positions.
// Should a record lie farther from its entry than that (a directory file
// written by another program), the search reads every entry's record
// instead: the answers are the same either way.
class NearestLocations {
 public:
  static constexpr double kDirectorySlackDegrees = 0.006;
  static constexpr double kDirectorySlackMetres = 1000.0;

  // Indexes the entries whose directory position can be searched
  // (GeoIndex::searchable); the others are counted in unusable(). The
  // entries must outlive this object. O(n log n), no record read.
  explicit NearestLocations(const std::vector<Location*>& entries);

  // Entries indexed, and entries left out for their position.
  std::size_t size() const { return index_.points().size(); }
  long unusable() const { return unusable_; }

  // The at most k locations nearest to (latitude, longitude) (searchable)
  // at most maxMetres away, nearest first, equal distances in the entries'
  // order. A record whose own position cannot be searched is left out.
  // read is called for each record that may be an answer; a BMTFile* it
  // throws passes out.
  std::vector<NearLocation> nearest(
      double latitude, double longitude, std::size_t k, const RecordReader& read,
      double maxMetres = std::numeric_limits<double>::infinity()) const;

 private:
  std::vector<NearLocation> byRecords(const std::vector<std::size_t>& candidates, double latitude,
                                      double longitude, std::size_t k, double maxMetres,
                                      const RecordReader& read, bool* slackHeld) const;

  GeoIndex index_;
  long unusable_ = 0;
};

}  // namespace metdb

#endif  // METDB_TOOL_GEO_NEARESTLOCATIONS_H_
