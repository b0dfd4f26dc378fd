// What a map frames: the extent of positions (across the 180th meridian,
// round a pole), the extent the user writes, the projection suggested for
// it, the frame built on it, and the grid's step.
#include <gtest/gtest.h>

#include <cmath>

#include "tool/Error.h"
#include "tool/geo/Graticule.h"
#include "tool/geo/MapExtent.h"
#include "tool/geo/MapFrame.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

// Fiji, Samoa, Tonga and Tuvalu: both sides of the 180th meridian.
const std::vector<GeoPosition> kAcross180 = {
    {-18.14, 178.44}, {-13.83, -171.76}, {-21.14, -175.2}, {-8.52, 179.2}};
// Stations round the north pole, on every side of it.
const std::vector<GeoPosition> kArctic = {{78.22, 15.65}, {71.29, -156.79}, {74.72, -94.97},
                                          {76.53, -68.7}, {73.5, 80.4},     {70.97, 178.5}};

TEST(MapExtentTest, PositionsOnBothSidesOf180AreFramedAcrossIt) {
  MapExtent e = MapExtent::around(kAcross180);
  EXPECT_DOUBLE_EQ(e.west, 178.44);
  EXPECT_DOUBLE_EQ(e.east, -171.76);
  EXPECT_NEAR(e.longitudeSpan(), 9.8, 1e-9);
  EXPECT_NEAR(e.centralLongitude(), -176.66, 1e-9);
  EXPECT_TRUE(e.holdsLongitude(180.0));
  EXPECT_FALSE(e.holdsLongitude(0.0));
  EXPECT_EQ(e.suggestedProjection(), ProjectionKind::kEquirectangular);

  MapFrame frame = MapFrame::aroundPositions(kAcross180);
  EXPECT_EQ(frame.projection().kind(), ProjectionKind::kEquirectangular);
  EXPECT_NEAR(std::fabs(frame.projection().centralLongitude()), 180.0, 5.0);
  frame.place(0, 0, 1000);
  for (const GeoPosition& p : kAcross180) {
    double x, y;
    ASSERT_TRUE(frame.project(p.latitude, p.longitude, &x, &y));
    EXPECT_TRUE(frame.holds(x, y)) << p.longitude;
    // Within the margin's share of the edges, not in a corner of the world.
    EXPECT_GT(x, 50.0);
    EXPECT_LT(x, 950.0);
  }
  // The frame is about the region's size, not the world's.
  EXPECT_LT(frame.box().width(), 2e6);
}

TEST(MapExtentTest, PositionsRoundAPoleTakeEveryLongitudeAndAPolarProjection) {
  MapExtent e = MapExtent::around(kArctic);
  EXPECT_TRUE(e.allLongitudes());
  EXPECT_EQ(e.suggestedProjection(), ProjectionKind::kNorthPolar);
  MapExtent south{-180.0, -90.0, 180.0, -60.0};
  EXPECT_EQ(south.suggestedProjection(), ProjectionKind::kSouthPolar);
  MapExtent europe{-25.0, 35.0, 45.0, 72.0};
  EXPECT_EQ(europe.suggestedProjection(), ProjectionKind::kEquirectangular);

  MapFrame frame = MapFrame::aroundPositions(kArctic);
  EXPECT_EQ(frame.projection().kind(), ProjectionKind::kNorthPolar);
  frame.place(0, 0, 800);
  double x, y;
  ASSERT_TRUE(frame.project(90.0, 0.0, &x, &y));
  EXPECT_TRUE(frame.holds(x, y));
  for (const GeoPosition& p : kArctic) {
    ASSERT_TRUE(frame.project(p.latitude, p.longitude, &x, &y));
    EXPECT_TRUE(frame.holds(x, y)) << p.longitude;
  }
  MapExtent visible = frame.visibleExtent();
  EXPECT_TRUE(visible.allLongitudes());
  EXPECT_DOUBLE_EQ(visible.north, 90.0);

  // Asked for, a projection is used whatever the positions.
  ProjectionKind flat = ProjectionKind::kEquirectangular;
  EXPECT_EQ(MapFrame::aroundPositions(kArctic, &flat).projection().kind(), flat);
}

TEST(MapExtentTest, AnExtentIsReadAsWestSouthEastNorth) {
  MapExtent e = MapExtent::parse("170,-25,-170,0");
  EXPECT_DOUBLE_EQ(e.west, 170.0);
  EXPECT_DOUBLE_EQ(e.south, -25.0);
  EXPECT_DOUBLE_EQ(e.east, -170.0);
  EXPECT_DOUBLE_EQ(e.north, 0.0);
  EXPECT_DOUBLE_EQ(e.longitudeSpan(), 20.0);
  for (const char* bad :
       {"1,2,3", "a,0,10,10", "0,10,10,5", "0,0,0,10", "-181,0,10,10", "0,-91,10,10"}) {
    EXPECT_THROW(MapExtent::parse(bad), Error) << bad;
  }
  try {
    MapExtent::parse("0,10,10,5");
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(),
                 "--extent: SOUTH is not below NORTH (expected WEST,SOUTH,EAST,NORTH in "
                 "degrees).");
  }
}

TEST(MapExtentTest, AFrameOfAnExtentHoldsItAndTheWorldIsTwiceAsWideAsHigh) {
  MapFrame world = MapFrame::world();
  EXPECT_NEAR(world.aspect(), 0.5, 1e-9);
  MapFrame europe = MapFrame::ofExtent({-25.0, 35.0, 45.0, 72.0});
  europe.place(10, 20, 900);
  for (GeoPosition corner : {GeoPosition{35.0, -25.0}, GeoPosition{72.0, 45.0}}) {
    double x, y;
    ASSERT_TRUE(europe.project(corner.latitude, corner.longitude, &x, &y));
    EXPECT_TRUE(europe.holds(x, y));
  }
  // A region's degree of longitude is drawn shorter than its degree of
  // latitude, as on the ground.
  double x1, y1, x2, y2;
  europe.project(50.0, 0.0, &x1, &y1);
  europe.project(51.0, 1.0, &x2, &y2);
  EXPECT_LT(x2 - x1, y1 - y2);
  // A degree of longitude at 53.5°N, the frame's middle.
  EXPECT_NEAR(europe.metresPerPixel() * (x2 - x1), 66.36e3, 0.5e3);
  EXPECT_GE(europe.aspect(), MapFrame::kMinAspect);
  EXPECT_LE(europe.aspect(), MapFrame::kMaxAspect);
}

TEST(MapExtentTest, TheGridsStepFollowsTheExtent) {
  GraticuleSteps world = graticuleSteps(MapExtent::world());
  EXPECT_DOUBLE_EQ(world.latitude, 30.0);
  EXPECT_DOUBLE_EQ(world.longitude, 30.0);
  GraticuleSteps europe = graticuleSteps({-25.0, 35.0, 45.0, 72.0});
  EXPECT_DOUBLE_EQ(europe.latitude, 5.0);
  EXPECT_DOUBLE_EQ(europe.longitude, 10.0);
  GraticuleSteps city = graticuleSteps({24.5, 60.0, 25.5, 60.5});
  EXPECT_DOUBLE_EQ(city.latitude, 0.25);
  EXPECT_DOUBLE_EQ(city.longitude, 0.25);
}

}  // namespace
