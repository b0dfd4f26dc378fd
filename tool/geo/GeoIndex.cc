#include "tool/geo/GeoIndex.h"

#include <GeographicLib/Geodesic.hpp>
#include <algorithm>
#include <cmath>

namespace metdb {

namespace {

constexpr double kDegree = M_PI / 180.0;

// On the ellipsoid, with geodetic latitude and longitude as coordinates, an
// arc element is sqrt(M² dφ² + N² cos²φ dλ²), where the radii of curvature
// M (meridian) and N (prime vertical) are both at least a(1 - e²), M's value
// at the equator. Every curve between two points is therefore at least
// a(1 - e²) times as long as its image on the unit sphere with the same
// coordinates, which is at least the great-circle angle there. The factor
// shaves off a little more so that rounding never lifts the bound above the
// geodesic.
double boundRadius() {
  const GeographicLib::Geodesic& g = GeographicLib::Geodesic::WGS84();
  double f = g.Flattening();
  return g.EquatorialRadius() * (1.0 - f) * (1.0 - f) * (1.0 - 1e-9);
}
const double kBoundRadius = boundRadius();
// Taken off every bound, in metres, for the rounding of the unit vectors
// (nanometres) and of GeographicLib's own result (some nanometres).
constexpr double kSlack = 1e-3;

struct Vector {
  double x, y, z;
};

Vector unitVector(double latitude, double longitude) {
  double phi = latitude * kDegree;
  double lambda = longitude * kDegree;
  return {std::cos(phi) * std::cos(lambda), std::cos(phi) * std::sin(lambda), std::sin(phi)};
}

double squaredChord(const Vector& a, double x, double y, double z) {
  double dx = a.x - x, dy = a.y - y, dz = a.z - z;
  return dx * dx + dy * dy + dz * dz;
}

// The largest squared chord on the unit sphere whose bound can still be at
// most metres; infinity when no chord is too long.
double squaredChordLimit(double metres) {
  double half = (metres + kSlack) / (2.0 * kBoundRadius);
  if (!(half < M_PI / 2.0)) return std::numeric_limits<double>::infinity();
  double chord = 2.0 * std::sin(half);
  return chord * chord;
}

bool nearer(const GeoNeighbour& a, const GeoNeighbour& b) {
  return a.metres < b.metres || (a.metres == b.metres && a.point < b.point);
}

GeoNeighbour geodesic(const std::vector<GeoPoint>& points, std::size_t i, double latitude,
                      double longitude) {
  double metres, azimuth1, azimuth2;
  GeographicLib::Geodesic::WGS84().Inverse(latitude, longitude, points[i].latitude,
                                           points[i].longitude, metres, azimuth1, azimuth2);
  return {i, metres, azimuth1 < 0.0 ? azimuth1 + 360.0 : azimuth1};
}

}  // namespace

bool GeoIndex::searchable(double latitude, double longitude) {
  return std::isfinite(latitude) && std::isfinite(longitude) && latitude >= -90.0 &&
         latitude <= 90.0;
}

GeoIndex::GeoIndex(std::vector<GeoPoint> points) : points_(std::move(points)) {
  byLatitude_.reserve(points_.size());
  for (std::size_t i = 0; i < points_.size(); ++i) {
    Vector v = unitVector(points_[i].latitude, points_[i].longitude);
    byLatitude_.push_back({points_[i].latitude * kDegree, v.x, v.y, v.z, i});
  }
  std::sort(byLatitude_.begin(), byLatitude_.end(), [](const Entry& a, const Entry& b) {
    return a.latitude < b.latitude || (a.latitude == b.latitude && a.point < b.point);
  });
}

std::vector<GeoNeighbour> GeoIndex::nearest(double latitude, double longitude, std::size_t k,
                                            double maxMetres) const {
  std::vector<GeoNeighbour> best;  // a heap: the farthest of the best at the front
  if (k == 0) return best;
  const double phi = latitude * kDegree;
  const Vector q = unitVector(latitude, longitude);
  // Whatever lies farther than this is of no use.
  double reach = maxMetres;
  double chordLimit = squaredChordLimit(reach);
  double latitudeLimit = (reach + kSlack) / kBoundRadius;

  // Outwards from the query's latitude, always to the nearer side: the
  // latitude difference alone bounds the great-circle angle from below.
  std::size_t up = static_cast<std::size_t>(
      std::lower_bound(byLatitude_.begin(), byLatitude_.end(), phi,
                       [](const Entry& e, double value) { return e.latitude < value; }) -
      byLatitude_.begin());
  std::size_t down = up;
  const double none = std::numeric_limits<double>::infinity();
  for (;;) {
    double upGap = up < byLatitude_.size() ? byLatitude_[up].latitude - phi : none;
    double downGap = down > 0 ? phi - byLatitude_[down - 1].latitude : none;
    double gap = std::min(upGap, downGap);
    if (gap == none || gap > latitudeLimit) break;
    const Entry& e = upGap <= downGap ? byLatitude_[up++] : byLatitude_[--down];
    if (squaredChord(q, e.x, e.y, e.z) > chordLimit) continue;
    GeoNeighbour n = geodesic(points_, e.point, latitude, longitude);
    if (!(n.metres <= maxMetres)) continue;
    if (best.size() == k) {
      if (!nearer(n, best.front())) continue;
      std::pop_heap(best.begin(), best.end(), nearer);
      best.pop_back();
    }
    best.push_back(n);
    std::push_heap(best.begin(), best.end(), nearer);
    if (best.size() == k && best.front().metres < reach) {
      reach = best.front().metres;
      chordLimit = squaredChordLimit(reach);
      latitudeLimit = (reach + kSlack) / kBoundRadius;
    }
  }
  std::sort_heap(best.begin(), best.end(), nearer);
  return best;
}

std::vector<GeoNeighbour> GeoIndex::scanAll(const std::vector<GeoPoint>& points, double latitude,
                                            double longitude, std::size_t k, double maxMetres) {
  std::vector<GeoNeighbour> all;
  for (std::size_t i = 0; i < points.size(); ++i) {
    GeoNeighbour n = geodesic(points, i, latitude, longitude);
    if (n.metres <= maxMetres) all.push_back(n);
  }
  std::size_t count = std::min(k, all.size());
  std::partial_sort(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(count), all.end(),
                    nearer);
  all.resize(count);
  return all;
}

double GeoIndex::lowerBoundMetres(double latitude1, double longitude1, double latitude2,
                                  double longitude2) {
  Vector a = unitVector(latitude1, longitude1);
  Vector b = unitVector(latitude2, longitude2);
  double chord = std::sqrt(squaredChord(a, b.x, b.y, b.z));
  double angle = 2.0 * std::asin(std::min(1.0, chord / 2.0));
  return std::max(0.0, kBoundRadius * angle - kSlack);
}

}  // namespace metdb
