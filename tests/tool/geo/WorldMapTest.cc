// The map's pictures: dots where their positions are, in their group's
// colour; land, coastlines and borders drawn from outlines in every
// projection (across the 180th meridian, round a pole, round an
// antipode); names beside few dots; many dots binned into pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/support/Records.h"
#include "tests/support/TempDir.h"
#include "tests/tool/geo/MapPicture.h"
#include "tool/geo/DataFolderOutlines.h"
#include "tool/geo/OutlineLayer.h"
#include "tool/geo/WorldMap.h"
#include "tool/text/Text.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

using maptest::Picture;
using testsupport::TempDir;

// A ring of positions along the edges of a box of degrees (west to east
// eastwards, so that a box across the 180th meridian crosses it).
MapRing box(double west, double south, double east, double north) {
  double span = east > west ? east - west : east + 360.0 - west;
  MapRing ring;
  for (int i = 0; i <= 10; ++i) ring.push_back({south, std::remainder(west + span * i / 10, 360)});
  for (int i = 10; i >= 0; --i) ring.push_back({north, std::remainder(west + span * i / 10, 360)});
  return ring;
}

// An island south of Iceland, one across the 180th meridian (cut in two
// along it, as the data's shapes are), and a continent round the south
// pole (its coast at 70°S, closed along the pole as the data's is).
MapOutlines testOutlines() {
  MapOutlines o;
  o.land.push_back({{box(-20.0, 50.0, 0.0, 60.0)}, ""});
  o.land.push_back({{box(170.0, -20.0, 180.0, -10.0)}, ""});
  o.land.push_back({{box(-180.0, -20.0, -170.0, -10.0)}, ""});
  MapRing polar;
  for (int lon = -180; lon <= 180; lon += 10) polar.push_back({-70.0, double(lon)});
  polar.push_back({-90.0, 180.0});
  polar.push_back({-90.0, -180.0});
  o.land.push_back({{polar}, ""});
  // Two countries sharing the island.
  o.countries.push_back({{box(-20.0, 50.0, -10.0, 60.0)}, "West"});
  o.countries.push_back({{box(-10.0, 50.0, 0.0, 60.0)}, "East"});
  return o;
}

std::uint32_t at(const Picture& picture, const WorldMap& map, double latitude, double longitude) {
  double x, y;
  EXPECT_TRUE(map.pixel(latitude, longitude, &x, &y));
  return picture.at(x, y);
}

TEST(WorldMapTest, DotsLandAtTheirPositionsInTheirGroupsColourOverLandAndSea) {
  TempDir dir;
  MapOutlines outlines = testOutlines();
  WorldMap map(800);
  map.setOutlines(&outlines);
  map.setTitle("title", "subtitle");
  struct Point {
    const char* group;
    double latitude, longitude;
  } points[] = {{"Europe", 59.9, 10.75},     {"Africa", -1.29, 36.8},  {"EUROPE", 40.0, -3.7},
                {"Pacific", 0.0, 179.5},     {"Pacific", 0.0, -179.5}, {"Arctic", 85.0, 0.0},
                {"Antarctica", -85.0, 100.0}};
  for (const Point& p : points) EXPECT_TRUE(map.add(p.group, p.latitude, p.longitude));
  EXPECT_EQ(map.count(), 7);
  EXPECT_EQ(map.colourOf("europe"), map.colourOf("Europe"));
  EXPECT_NE(map.colourOf("Europe"), map.colourOf("Africa"));
  // The whole globe, twice as wide as high.
  EXPECT_NEAR(map.frame().aspect(), 0.5, 1e-9);

  map.writePng(dir.file("m.png"));
  Picture picture(dir.file("m.png"));
  ASSERT_EQ(picture.width, 800);
  EXPECT_EQ(picture.height, map.height());
  for (const Point& p : points) {
    EXPECT_EQ(at(picture, map, p.latitude, p.longitude), map.colourOf(p.group)) << p.group;
  }
  // The islands and the continent round the pole are land, the rest sea
  // (the points lie off the grid's lines).
  EXPECT_EQ(at(picture, map, 52.3, -15.7), mapstyle::kLand);
  EXPECT_EQ(at(picture, map, -80.3, -100.7), mapstyle::kLand);
  EXPECT_EQ(at(picture, map, -15.3, 175.7), mapstyle::kLand);
  EXPECT_EQ(at(picture, map, -15.3, -175.7), mapstyle::kLand);
  EXPECT_EQ(at(picture, map, -50.3, -100.7), mapstyle::kSea);
  EXPECT_EQ(at(picture, map, 25.3, -140.7), mapstyle::kSea);
  EXPECT_GT(picture.count(mapstyle::kLand), 10000);
}

TEST(WorldMapTest, AFrameCentredOn180ShowsBothHalvesOfWhatCrossesIt) {
  TempDir dir;
  MapOutlines outlines = testOutlines();
  WorldMap map(600, MapFrame::ofExtent({160.0, -30.0, -160.0, 0.0}));
  map.setOutlines(&outlines);
  EXPECT_NEAR(std::fabs(map.frame().projection().centralLongitude()), 180.0, 1e-9);
  map.writePng(dir.file("m.png"));
  Picture picture(dir.file("m.png"));
  EXPECT_EQ(at(picture, map, -13.3, 171.7), mapstyle::kLand);
  EXPECT_EQ(at(picture, map, -13.3, 179.3), mapstyle::kLand);
  EXPECT_EQ(at(picture, map, -13.3, -171.3), mapstyle::kLand);
  EXPECT_EQ(at(picture, map, -25.7, 178.3), mapstyle::kSea);

  // The data's cut along the 180th meridian is no coast: no coastline runs
  // along it.
  map.writeSvg(dir.file("m.svg"));
  std::string svg = testsupport::readFile(dir.file("m.svg"));
  std::vector<std::string> coast = maptest::svgPaths(svg, "stroke", mapstyle::kCoast);
  ASSERT_FALSE(coast.empty());
  double x180, y;
  map.pixel(0.0, 180.0, &x180, &y);
  for (const std::string& d : coast) {
    for (const maptest::Segment& s : maptest::pathSegments(d)) {
      EXPECT_FALSE(std::fabs(s.x0 - x180) < 0.5 && std::fabs(s.x1 - x180) < 0.5) << d;
    }
  }
}

TEST(WorldMapTest, PolarAndAzimuthalFramesDrawLandOnTheRightSide) {
  TempDir dir;
  MapOutlines outlines = testOutlines();
  // Round the south pole: the continent fills the middle.
  ProjectionKind south = ProjectionKind::kSouthPolar;
  WorldMap antarctic(600, MapFrame::ofExtent({-180.0, -90.0, 180.0, -55.0}, &south));
  antarctic.setOutlines(&outlines);
  antarctic.writePng(dir.file("s.png"));
  Picture s(dir.file("s.png"));
  EXPECT_EQ(at(s, antarctic, -88.3, 17.3), mapstyle::kLand);
  EXPECT_EQ(at(s, antarctic, -62.3, 47.3), mapstyle::kSea);

  // Round the north pole the continent round the other pole is left out,
  // not drawn inside out over everything.
  ProjectionKind north = ProjectionKind::kNorthPolar;
  WorldMap arctic(600, MapFrame::ofExtent({-180.0, 45.0, 180.0, 90.0}, &north));
  arctic.setOutlines(&outlines);
  arctic.writePng(dir.file("n.png"));
  Picture n(dir.file("n.png"));
  EXPECT_EQ(at(n, arctic, 84.3, 17.3), mapstyle::kSea);
  EXPECT_EQ(at(n, arctic, 54.3, -12.7), mapstyle::kLand);

  // Round a point whose antipode lies in the continent round the south
  // pole: the continent lies beyond its ring, the sea near the centre
  // stays sea.
  WorldMap around(600, MapFrame::around(80.0, 0.0, 3000.0));
  around.setOutlines(&outlines);
  around.writePng(dir.file("a.png"));
  Picture a(dir.file("a.png"));
  EXPECT_EQ(at(a, around, 79.3, 7.3), mapstyle::kSea);
  EXPECT_EQ(at(a, around, 57.3, -12.7), mapstyle::kLand);
}

TEST(WorldMapTest, ARingHoldsWhatIsInsideIt) {
  MapRing island = box(-20.0, 50.0, 0.0, 60.0);
  EXPECT_TRUE(ringHolds(island, 55.0, -10.0));
  EXPECT_FALSE(ringHolds(island, 45.0, -10.0));
  EXPECT_FALSE(ringHolds(island, 55.0, 10.0));
  MapRing across = box(170.0, -20.0, -170.0, -10.0);
  EXPECT_TRUE(ringHolds(across, -15.0, 180.0));
  EXPECT_TRUE(ringHolds(across, -15.0, -175.0));
  EXPECT_FALSE(ringHolds(across, -15.0, 0.0));
  MapRing polar = testOutlines().land[3].rings[0];
  EXPECT_TRUE(ringHolds(polar, -80.0, 33.0));
  EXPECT_FALSE(ringHolds(polar, -60.0, 33.0));
}

TEST(WorldMapTest, TheDataFoldersOutlinesBecomePolygonsWithTheirHoles) {
  std::vector<Outline> file = {{"",
                                0,
                                "land",
                                {{false, {{0, 0}, {10, 0}, {10, 10}}},
                                 {true, {{1, 1}, {2, 1}, {2, 2}}},
                                 {false, {{20, 0}, {30, 0}, {30, 10}}}}},
                               {"XX", 1, "Stray hole", {{true, {{1, 1}, {2, 1}, {2, 2}}}}}};
  std::vector<MapPolygon> polygons;
  appendPolygons(file, &polygons);
  ASSERT_EQ(polygons.size(), 2u);
  EXPECT_EQ(polygons[0].rings.size(), 2u);
  EXPECT_EQ(polygons[1].rings.size(), 1u);
  EXPECT_DOUBLE_EQ(polygons[1].rings[0][2].latitude, 10.0);
  EXPECT_DOUBLE_EQ(polygons[1].rings[0][2].longitude, 30.0);

  // The project's own data: the world's land and its countries at both
  // scales, Antarctica round the south pole.
  DataFolderOutlines data;
  for (OutlineScale scale : {OutlineScale::k110m, OutlineScale::k50m}) {
    const MapOutlines* outlines = data.outlines(scale);
    ASSERT_NE(outlines, nullptr) << data.missing();
    EXPECT_GT(outlines->land.size(), 100u);
    EXPECT_GT(outlines->countries.size(), 170u);
    long holding = 0;
    for (const MapPolygon& p : outlines->land) holding += ringHolds(p.rings[0], -89.0, 0.0);
    EXPECT_EQ(holding, 1);
    EXPECT_EQ(data.outlines(scale), outlines);  // read once
  }
}

TEST(WorldMapTest, AnSvgHoldsTheCoastlinesAndTheDotsInsideItsFrame) {
  TempDir dir;
  MapOutlines outlines = testOutlines();
  MapFrame frame = MapFrame::ofExtent({-30.0, 40.0, 10.0, 70.0});
  WorldMap map(800, frame);
  map.setOutlines(&outlines);
  for (int i = 0; i < 30; ++i) {
    EXPECT_TRUE(map.add("Atlantic", 42.0 + i * 0.9, -28.0 + i * 1.2, "s" + std::to_string(i)));
  }
  EXPECT_FALSE(map.add("Atlantic", 0.0, 0.0));  // outside the frame
  EXPECT_EQ(map.outside(), 1);
  map.writeSvg(dir.file("m.svg"));
  std::string svg = testsupport::readFile(dir.file("m.svg"));

  std::vector<std::string> coast = maptest::svgPaths(svg, "stroke", mapstyle::kCoast);
  ASSERT_FALSE(coast.empty());
  EXPECT_FALSE(maptest::svgPaths(svg, "stroke", mapstyle::kBorder).empty());
  EXPECT_FALSE(maptest::svgPaths(svg, "fill", mapstyle::kLand).empty());
  std::vector<std::string> dots = maptest::svgPaths(svg, "fill", map.colourOf("Atlantic"));
  ASSERT_FALSE(dots.empty());
  const MapFrame& f = map.frame();
  double r = map.dotRadius();
  std::size_t points = 0;
  for (std::size_t i = 0; i + 1 < dots.size(); ++i) {  // the last is the legend's
    for (auto [x, y] : maptest::pathPoints(dots[i])) {
      ++points;
      EXPECT_GE(x, f.left() - r);
      EXPECT_LE(x, f.left() + f.width() + r);
      EXPECT_GE(y, f.top() - r);
      EXPECT_LE(y, f.top() + f.height() + r);
    }
  }
  EXPECT_GE(points, 30u * 4);  // a circle is four curves
}

TEST(WorldMapTest, FewDotsGetTheirNamesWithoutOverlapAndManyGetNone) {
  WorldMap few(800, MapFrame::ofExtent({0.0, 40.0, 20.0, 60.0}));
  for (int i = 0; i < 20; ++i)
    few.add("g", 41.0 + i, 1.0 + (i % 5) * 4.0, "Station" + std::to_string(i));
  // Two on one spot: one name fits beside them, not both... any that fit
  // overlap nothing.
  few.add("g", 50.0, 10.0, "Twin");
  few.add("g", 50.0, 10.0, "Twin");
  std::vector<PlacedLabel> labels = few.labels();
  EXPECT_GE(labels.size(), 15u);
  for (std::size_t i = 0; i < labels.size(); ++i) {
    for (std::size_t j = i + 1; j < labels.size(); ++j) {
      EXPECT_FALSE(labels[i].box.meets(labels[j].box)) << labels[i].text << " " << labels[j].text;
    }
  }

  WorldMap many(800);
  for (long i = 0; i <= WorldMap::kLabelLimit; ++i) many.add("g", 0.1 * i, 0.1 * i, "x");
  EXPECT_TRUE(many.labels().empty());
}

TEST(WorldMapTest, ManyGroupsShareTheLastColourAndDotsOnOnePixelAddUp) {
  TempDir dir;
  WorldMap map(400);
  for (int g = 0; g < 12; ++g) {
    for (int k = 0; k <= g; ++k) map.add("group" + std::to_string(g), g, g);
  }
  // The ten largest groups get colours; the two smallest share one.
  EXPECT_EQ(map.colourOf("group0"), map.colourOf("group1"));
  EXPECT_NE(map.colourOf("group1"), map.colourOf("group2"));
  EXPECT_NE(map.colourOf("group11"), map.colourOf("group0"));

  // The counts in the legend use the same digits, so the files differ by
  // the dots alone.
  WorldMap few(600), many(600);
  for (int i = 0; i < 2000; ++i) few.add("Europe", 50.0 + (i % 7) * 1e-4, 10.0);
  for (int i = 0; i < 200000; ++i) many.add("Europe", 50.0 + (i % 7) * 1e-4, 10.0);
  EXPECT_EQ(many.count(), 200000);
  few.writeSvg(dir.file("few.svg"));
  many.writeSvg(dir.file("many.svg"));
  std::size_t fewSize = testsupport::readFile(dir.file("few.svg")).size();
  std::size_t manySize = testsupport::readFile(dir.file("many.svg")).size();
  EXPECT_LT(manySize, fewSize + 500) << "the dots on one pixel were all drawn";
  // More dots, smaller and fainter.
  EXPECT_LT(many.dotOpacity(), few.dotOpacity());
  EXPECT_LE(many.dotRadius(), few.dotRadius());
}

TEST(WorldMapTest, TextThatIsNotUtf8IsDrawnWithMarks) {
  EXPECT_EQ(text::drawable("Zürich"), "Zürich");
  EXPECT_EQ(text::drawable("a\xff"
                           "b"),
            "a?b");
  EXPECT_EQ(text::drawable("\xc3"), "?");                 // cut short
  EXPECT_EQ(text::drawable("\xc0\xaf"), "??");            // overlong
  EXPECT_EQ(text::drawable("\xed\xa0\x80"), "???");       // a surrogate
  EXPECT_EQ(text::drawable("\xf4\x90\x80\x80"), "????");  // past U+10FFFF
  EXPECT_EQ(text::drawable("\xf0\x9f\x8c\x8d"), "\xf0\x9f\x8c\x8d");
  EXPECT_EQ(text::drawable("tab\there\x7f"), "tab?here?");

  TempDir dir;
  WorldMap map(400);
  map.setTitle("\xff\xfe title", "sub\xc3");
  map.add("\xe2\x82", 0, 0, "\xc3\x28");
  map.setNotice("\x80");
  map.writePng(dir.file("m.png"));
  map.writeSvg(dir.file("m.svg"));
}

}  // namespace
