// The map's projections against GeographicLib's own at known points, and
// their round trips.
#include <gtest/gtest.h>
#include <GeographicLib/AzimuthalEquidistant.hpp>
#include <GeographicLib/Constants.hpp>
#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/PolarStereographic.hpp>

#include <cmath>

#include "tool/geo/MapProjection.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

struct Place {
  double latitude, longitude;
};

TEST(MapProjectionTest, EquirectangularScalesLongitudeByItsStandardParallel) {
  auto p = makeEquirectangular(10.0, 60.0);
  const double a = GeographicLib::Constants::WGS84_a();
  double x, y;
  ASSERT_TRUE(p->forward(45.0, 40.0, &x, &y));
  EXPECT_NEAR(x, a * 0.5 * 30.0 * M_PI / 180.0, 1e-6);
  EXPECT_NEAR(y, a * 45.0 * M_PI / 180.0, 1e-6);
  // The meridian opposite the centre is the seam: just east of it lies at
  // the far west of the plane.
  ASSERT_TRUE(p->forward(0.0, -169.0, &x, &y));
  EXPECT_NEAR(x, -a * 0.5 * 179.0 * M_PI / 180.0, 1e-6);
  double latitude, longitude;
  ASSERT_TRUE(p->reverse(x, 1000.0, &latitude, &longitude));
  EXPECT_NEAR(longitude, -169.0, 1e-9);
  EXPECT_FALSE(p->reverse(a * M_PI, 0.0, &latitude, &longitude));  // past the strip
  EXPECT_FALSE(p->singularPosition(&latitude, &longitude));
}

TEST(MapProjectionTest, PolarStereographicIsGeographicLibsTurnedToItsCentralMeridian) {
  const GeographicLib::PolarStereographic& ups = GeographicLib::PolarStereographic::UPS();
  for (bool north : {true, false}) {
    auto plain = makePolarStereographic(north, 0.0);
    auto turned = makePolarStereographic(north, 100.0);
    for (Place place : {Place{north ? 78.2 : -77.8, 15.6}, Place{north ? 64.2 : -64.8, -51.7},
                        Place{north ? 89.9 : -89.9, 179.0}}) {
      double gx, gy, x, y;
      ups.Forward(north, place.latitude, place.longitude, gx, gy);
      ASSERT_TRUE(plain->forward(place.latitude, place.longitude, &x, &y));
      EXPECT_NEAR(x, gx, 1e-6);
      EXPECT_NEAR(y, gy, 1e-6);
      // Turning the map by 100° is projecting 100° less of longitude.
      ASSERT_TRUE(turned->forward(place.latitude, place.longitude + 100.0, &x, &y));
      EXPECT_NEAR(x, gx, 1e-6);
      EXPECT_NEAR(y, gy, 1e-6);
      double latitude, longitude;
      ASSERT_TRUE(turned->reverse(x, y, &latitude, &longitude));
      EXPECT_NEAR(latitude, place.latitude, 1e-9);
      EXPECT_NEAR(std::remainder(longitude - place.longitude - 100.0, 360.0), 0.0, 1e-9);
    }
    double x, y;
    EXPECT_FALSE(plain->forward(north ? -90.0 : 90.0, 0.0, &x, &y));  // the other pole
  }
  // The central meridian runs straight down from the north pole.
  auto p = makePolarStereographic(true, -40.0);
  double x, y;
  ASSERT_TRUE(p->forward(70.0, -40.0, &x, &y));
  EXPECT_NEAR(x, 0.0, 1e-6);
  EXPECT_LT(y, 0.0);
}

TEST(MapProjectionTest, AzimuthalEquidistantKeepsGeodesicDistancesFromItsCentre) {
  const Place helsinki{60.1699, 24.9384};
  auto p = makeAzimuthalEquidistant(helsinki.latitude, helsinki.longitude);
  GeographicLib::AzimuthalEquidistant reference(GeographicLib::Geodesic::WGS84());
  for (Place place : {Place{59.437, 24.7536}, Place{-33.92, 18.42}, Place{21.3, -157.86}}) {
    double gx, gy, azimuth, scale, x, y;
    reference.Forward(helsinki.latitude, helsinki.longitude, place.latitude, place.longitude, gx,
                      gy, azimuth, scale);
    ASSERT_TRUE(p->forward(place.latitude, place.longitude, &x, &y));
    EXPECT_NEAR(x, gx, 1e-6);
    EXPECT_NEAR(y, gy, 1e-6);
    double metres;
    GeographicLib::Geodesic::WGS84().Inverse(helsinki.latitude, helsinki.longitude, place.latitude,
                                             place.longitude, metres);
    EXPECT_NEAR(std::hypot(x, y), metres, 1e-3);
    double latitude, longitude;
    ASSERT_TRUE(p->reverse(x, y, &latitude, &longitude));
    EXPECT_NEAR(latitude, place.latitude, 1e-9);
    EXPECT_NEAR(longitude, place.longitude, 1e-9);
  }
  double latitude, longitude;
  ASSERT_TRUE(p->singularPosition(&latitude, &longitude));
  EXPECT_DOUBLE_EQ(latitude, -helsinki.latitude);
  EXPECT_NEAR(longitude, helsinki.longitude - 180.0, 1e-9);
  EXPECT_FALSE(p->reverse(3e7, 0.0, &latitude, &longitude));  // beyond the antipode's circle
}

}  // namespace
