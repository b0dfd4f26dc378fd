#ifndef METDB_TOOL_GEO_GEOINDEX_H_
#define METDB_TOOL_GEO_GEOINDEX_H_

#include <cstddef>
#include <limits>
#include <vector>

namespace metdb {

// A location's position for the geodesic search, in degrees, with the
// record it came from.
struct GeoPoint {
  double latitude;
  double longitude;
  long recordIndex;
};

// One answer of a search: which point (its position in the index's points,
// that is in the order they were given), the geodesic distance in metres and
// the initial bearing from the query point in degrees, 0 (north) up to 360
// clockwise.
struct GeoNeighbour {
  std::size_t point;
  double metres;
  double bearing;
};

// The nearest points to a query point by geodesic distance on the WGS84
// ellipsoid, without computing a geodesic for every point. The points are
// kept sorted by latitude; a search walks outwards from the query's
// latitude and computes the exact geodesic only for points that a cheap
// lower bound on their distance (the great-circle angle on a sphere smaller
// than the ellipsoid anywhere curves) cannot rule out. The answers are those
// of a geodesic to every point (scanAll), exactly: the same points, the
// same distances, the same order.
class GeoIndex {
 public:
  // Whether a position can be searched: both numbers finite, the latitude
  // within -90..90. Any finite longitude is taken (it is reduced).
  static bool searchable(double latitude, double longitude);

  // Builds the index over points (each must be searchable), in O(n log n).
  // The order of points is the order in which ties are broken.
  explicit GeoIndex(std::vector<GeoPoint> points);

  const std::vector<GeoPoint>& points() const { return points_; }

  // The at most k points nearest to (latitude, longitude) whose distance is
  // at most maxMetres, nearest first, points of equal distance in their
  // order in points(). The query must be searchable; k 0 gives nothing.
  std::vector<GeoNeighbour> nearest(
      double latitude, double longitude, std::size_t k,
      double maxMetres = std::numeric_limits<double>::infinity()) const;

  // The same answer by a geodesic to every point: the reference that
  // nearest is measured and tested against.
  static std::vector<GeoNeighbour> scanAll(
      const std::vector<GeoPoint>& points, double latitude, double longitude, std::size_t k,
      double maxMetres = std::numeric_limits<double>::infinity());

  // A distance in metres that is never more than the WGS84 geodesic
  // distance between the two positions (both searchable).
  static double lowerBoundMetres(double latitude1, double longitude1, double latitude2,
                                 double longitude2);

 private:
  struct Entry {
    double latitude;  // radians
    double x, y, z;   // unit vector of the position on a sphere
    std::size_t point;
  };
  std::vector<GeoPoint> points_;
  std::vector<Entry> byLatitude_;
};

}  // namespace metdb

#endif  // METDB_TOOL_GEO_GEOINDEX_H_
