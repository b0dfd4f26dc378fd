// The geodesic search against known distances and against a geodesic to
// every point.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tool/geo/GeoIndex.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

// Distances computed independently with GeographicLib's GeodSolve -i.
TEST(GeoIndexTest, DistancesAndBearingsAreThoseOfTheWgs84Geodesic) {
  GeoIndex index({{60.1699, 24.9384, 7}, {0.0, -179.9, 8}, {89.9, 180.0, 9}});
  std::vector<GeoNeighbour> n = index.nearest(59.9139, 10.7522, 1);
  ASSERT_EQ(n.size(), 1u);
  EXPECT_NEAR(n[0].metres, 789580.217521, 1e-3);
  EXPECT_NEAR(n[0].bearing, 81.79117637536, 1e-9);
  // Across the antimeridian: 0.2 degrees of longitude, not 359.8.
  n = index.nearest(0.0, 179.9, 1);
  ASSERT_EQ(n.size(), 1u);
  EXPECT_EQ(n[0].point, 1u);
  EXPECT_NEAR(n[0].metres, 22263.898159, 1e-3);
  EXPECT_NEAR(n[0].bearing, 90.0, 1e-9);
  // Over the pole.
  n = index.nearest(89.9, 0.0, 1);
  ASSERT_EQ(n.size(), 1u);
  EXPECT_EQ(n[0].point, 2u);
  EXPECT_NEAR(n[0].metres, 22338.795683, 1e-3);
  // k beyond the points, and a distance limit that cuts the list.
  EXPECT_EQ(index.nearest(0.0, 0.0, 10).size(), 3u);
  EXPECT_EQ(index.nearest(0.0, 179.9, 10, 30000.0).size(), 1u);
  EXPECT_TRUE(index.nearest(0.0, 0.0, 0).empty());
}

TEST(GeoIndexTest, AnswersAsAGeodesicToEveryPointDoes) {
  std::mt19937 random(8);
  std::uniform_real_distribution<double> latitude(-90.0, 90.0), longitude(-180.0, 180.0);
  std::vector<GeoPoint> points;
  for (long i = 0; i < 3000; ++i) {
    // Some clustered and repeated positions, so that ties occur, and some
    // near the poles and the antimeridian.
    double lat = i % 7 == 0 ? 89.99 : latitude(random);
    double lon = i % 11 == 0 ? 179.99 : longitude(random);
    if (i % 13 == 0 && i > 0) {
      lat = points.back().latitude;
      lon = points.back().longitude;
    }
    points.push_back({lat, lon, i});
  }
  GeoIndex index(points);
  for (int q = 0; q < 300; ++q) {
    double lat = q % 10 == 0 ? 90.0 : q % 10 == 1 ? -90.0 : latitude(random);
    double lon = q % 10 == 2 ? -180.0 : longitude(random);
    std::size_t k = 1 + q % 12;
    double limit = q % 3 == 0 ? 2.0e6 : std::numeric_limits<double>::infinity();
    std::vector<GeoNeighbour> fast = index.nearest(lat, lon, k, limit);
    std::vector<GeoNeighbour> slow = GeoIndex::scanAll(points, lat, lon, k, limit);
    ASSERT_EQ(fast.size(), slow.size()) << "query " << q;
    for (std::size_t i = 0; i < fast.size(); ++i) {
      EXPECT_EQ(fast[i].point, slow[i].point) << "query " << q << " rank " << i;
      EXPECT_EQ(fast[i].metres, slow[i].metres);
      EXPECT_EQ(fast[i].bearing, slow[i].bearing);
    }
  }
}

TEST(GeoIndexTest, TheBoundNeverExceedsTheGeodesic) {
  std::mt19937 random(3);
  std::uniform_real_distribution<double> latitude(-90.0, 90.0), longitude(-180.0, 180.0),
      small(-1e-6, 1e-6);
  GeoIndex none({});
  for (int i = 0; i < 20000; ++i) {
    double lat1 = latitude(random), lon1 = longitude(random);
    // Near-equal points, north-south arcs by the equator (where the
    // ellipsoid curves least), and arbitrary pairs.
    double lat2 = i % 3 == 0   ? std::clamp(lat1 + small(random), -90.0, 90.0)
                  : i % 3 == 1 ? small(random) * 1e6
                               : latitude(random);
    double lon2 = i % 3 == 0 ? lon1 + small(random) : i % 3 == 1 ? lon1 : longitude(random);
    if (i % 3 == 1) lat1 = -lat2;
    GeoIndex one({{lat2, lon2, 0}});
    double metres = one.nearest(lat1, lon1, 1)[0].metres;
    EXPECT_LE(GeoIndex::lowerBoundMetres(lat1, lon1, lat2, lon2), metres)
        << lat1 << "," << lon1 << " " << lat2 << "," << lon2;
  }
}

}  // namespace
