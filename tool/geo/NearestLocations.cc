#include "tool/geo/NearestLocations.h"

#include <GeographicLib/Geodesic.hpp>
#include <algorithm>
#include <cmath>

#include "tool/CheckPoint.h"
#include "tool/record/RecordPosition.h"

namespace metdb {

namespace {

std::vector<GeoPoint> searchablePoints(const std::vector<Location*>& entries, long* unusable) {
  std::vector<GeoPoint> points;
  points.reserve(entries.size());
  for (const Location* l : entries) {
    if (GeoIndex::searchable(l->latitude, l->longitude)) {
      points.push_back({l->latitude, l->longitude, l->locationIndex});
    } else {
      ++*unusable;
    }
  }
  return points;
}

// The difference of two longitudes, reduced to -180..180.
double longitudeGap(double a, double b) { return std::remainder(a - b, 360.0); }

}  // namespace

NearestLocations::NearestLocations(const std::vector<Location*>& entries)
    : index_(searchablePoints(entries, &unusable_)) {}

std::vector<NearLocation> NearestLocations::nearest(double latitude, double longitude,
                                                    std::size_t k, const RecordReader& read,
                                                    double maxMetres) const {
  if (k == 0) return {};
  const double slack = kDirectorySlackMetres;
  // By the directory's positions, the k-th nearest lies within reach; by
  // the records', then, within reach + slack, and every record within that
  // has an entry within reach + 2 * slack.
  std::vector<GeoNeighbour> approximate = index_.nearest(latitude, longitude, k, maxMetres + slack);
  double bound = maxMetres + slack;
  if (approximate.size() == k) bound = std::min(bound, approximate.back().metres + 2.0 * slack);
  std::vector<GeoNeighbour> within =
      index_.nearest(latitude, longitude, index_.points().size(), bound);
  std::vector<std::size_t> candidates;
  candidates.reserve(within.size());
  for (const GeoNeighbour& n : within) candidates.push_back(n.point);
  std::sort(candidates.begin(), candidates.end());

  bool slackHeld = true;
  std::vector<NearLocation> found =
      byRecords(candidates, latitude, longitude, k, maxMetres, read, &slackHeld);
  if (slackHeld) return found;
  std::vector<std::size_t> all(index_.points().size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
  return byRecords(all, latitude, longitude, k, maxMetres, read, &slackHeld);
}

std::vector<NearLocation> NearestLocations::byRecords(const std::vector<std::size_t>& candidates,
                                                      double latitude, double longitude,
                                                      std::size_t k, double maxMetres,
                                                      const RecordReader& read,
                                                      bool* slackHeld) const {
  const GeographicLib::Geodesic& wgs84 = GeographicLib::Geodesic::WGS84();
  struct Found {
    std::size_t point;
    NearLocation location;
  };
  std::vector<Found> found;
  for (std::size_t point : candidates) {
    checkPoint();
    const GeoPoint& entry = index_.points()[point];
    NearLocation n{entry.recordIndex, LocationData(), 0.0, 0.0};
    read(entry.recordIndex, n.record);
    RecordPosition p(n.record);
    if (!GeoIndex::searchable(p.latitude, p.longitude)) continue;
    if (std::fabs(p.latitude - entry.latitude) > kDirectorySlackDegrees ||
        std::fabs(longitudeGap(p.longitude, entry.longitude)) > kDirectorySlackDegrees) {
      *slackHeld = false;
    }
    double azimuth2;
    wgs84.Inverse(latitude, longitude, p.latitude, p.longitude, n.metres, n.bearing, azimuth2);
    if (n.bearing < 0.0) n.bearing += 360.0;
    if (n.metres <= maxMetres) found.push_back({point, n});
  }
  std::size_t count = std::min(k, found.size());
  auto nearer = [](const Found& a, const Found& b) {
    return a.location.metres < b.location.metres ||
           (a.location.metres == b.location.metres && a.point < b.point);
  };
  std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(count), found.end(),
                    nearer);
  std::vector<NearLocation> out;
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i) out.push_back(found[i].location);
  return out;
}

}  // namespace metdb
