// The map command and nearest's map: the pictures they write, how they
// frame the selection, and the options they refuse.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "tests/cli/ToolRun.h"
#include "tests/support/Records.h"
#include "tests/tool/geo/MapPicture.h"
#include "tool/geo/MapStyle.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

using maptest::Picture;
using testsupport::TempDir;
using tooltest::contains;
using tooltest::Outcome;

class MapCommandTest : public tooltest::SampleDatabaseTest {};

// Pixels in a dot colour of the palette.
long dotPixels(const Picture& picture) {
  long n = 0;
  for (std::uint32_t p : picture.pixels) {
    for (std::size_t c = 0; c < mapstyle::kGroupColours; ++c) n += (p == mapstyle::kPalette[c]);
  }
  return n;
}

TEST_F(MapCommandTest, WritesAPngOrAnSvgOfTheSelection) {
  Outcome o = tool({"map", "-o", "world.PNG", "--width", "640"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.err, "9 locations drawn in world.PNG (equirectangular, 640 x ")) << o.err;
  Picture png(dir.file("world.PNG"));
  ASSERT_EQ(png.width, 640);
  EXPECT_GT(png.height, 200);
  EXPECT_GT(dotPixels(png), 9 * 9);

  o = tool({"map", "--continent", "Africa", "--output", "africa.svg"});
  ASSERT_EQ(o.status, 0) << o.err;
  std::string svg = testsupport::readFile(dir.file("africa.svg"));
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_TRUE(contains(svg, "<svg")) << svg.substr(0, 200);
  EXPECT_TRUE(contains(svg, "</svg>"));
  EXPECT_EQ(tooltest::userFiles(dir), (std::vector<std::string>{"africa.svg", "s.bmt", "s.csv",
                                                                "s.dir", "s.stn", "world.PNG"}));
}

// How wide the part of the picture above its legend is that dots cover,
// as a share of the picture's width.
double dotSpread(const Picture& picture) {
  int lo = picture.width, hi = -1;
  for (int y = 0; y < picture.height * 8 / 10; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (picture.at(x, y) == mapstyle::kPalette[0]) {
        lo = std::min(lo, x);
        hi = std::max(hi, x);
      }
    }
  }
  return hi < lo ? 0.0 : double(hi - lo) / picture.width;
}

TEST_F(MapCommandTest, DrawsLandCoastsAndBordersUnderTheDots) {
  Outcome o = tool({"map", "--continent", "Europe", "-o", "europe.png", "--width", "800"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_FALSE(contains(o.err, "warning")) << o.err;
  Picture png(dir.file("europe.png"));
  long land = png.count(mapstyle::kLand);
  long sea = png.count(mapstyle::kSea);
  // Scandinavia and Finland: land mostly, some sea (the Baltic, the North
  // Sea).
  EXPECT_GT(land, 5 * sea / 10) << land << " " << sea;
  EXPECT_GT(sea, land / 20) << land << " " << sea;
  EXPECT_GT(dotPixels(png), 5 * 9);

  // Without its data folder the map is drawn all the same, without land.
  tooltest::RunOptions options;
  options.environment = {"METDB_DATA_DIR=" + dir.file("nowhere")};
  o = tooltest::run(dir, {"--db", "s.bmt", "map", "-o", "bare.png"}, options);
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.err, "warning: The map has no land")) << o.err;
  EXPECT_EQ(Picture(dir.file("bare.png")).count(mapstyle::kLand), 0);
}

TEST_F(MapCommandTest, FramesTheSelectionTheExtentOrTheWorld) {
  // Norway alone fills the picture: its dots lie far apart, not in a
  // corner of the world.
  Outcome o = tool({"map", "--country", "Norway", "-o", "norway.png", "--width", "600"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_GT(dotSpread(Picture(dir.file("norway.png"))), 0.4);
  o = tool({"map", "--country", "Norway", "--world", "-o", "world.png", "--width", "600"});
  ASSERT_EQ(o.status, 0) << o.err;
  Picture world(dir.file("world.png"));
  EXPECT_LT(dotSpread(world), 0.05);
  EXPECT_EQ(world.count(mapstyle::kRing), 0);

  // An extent across the 180th meridian holds nothing of the sample: every
  // location is outside it.
  o = tool({"map", "--extent", "170,-30,-170,0", "-o", "pacific.svg"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.err, "0 locations drawn (9 outside the map)")) << o.err;

  o = tool({"map", "--around", "60,10", "--radius-km", "500", "--color-by", "level", "-o",
            "around.png"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.err, "4 locations drawn (5 outside the map) in around.png (azimuthal"))
      << o.err;
  Picture around(dir.file("around.png"));
  EXPECT_GT(around.count(mapstyle::kRing), 20);  // the rings of distance

  o = tool({"map", "--country", "Finland", "--projection", "north-polar", "--dot-size", "12",
            "--color-by", "country", "-o", "polar.png"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.err, "(north-polar,")) << o.err;
}

TEST_F(MapCommandTest, AnEmptySelectionStillGivesAPicture) {
  Outcome o = tool({"map", "--country", "Atlantis", "-o", "none.png"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.err, "0 locations drawn")) << o.err;
  EXPECT_GT(Picture(dir.file("none.png")).width, 0);
}

TEST_F(MapCommandTest, LeavesOutRecordsOffTheGlobeWithAWarning) {
  std::vector<LocationData> records = tooltest::readRecords(dir.file("s.bmt"));
  float nan = std::numeric_limits<float>::quiet_NaN();
  std::memcpy(&records[3].longitude, &nan, sizeof nan);
  testsupport::writeFile(dir.file("s.bmt"), testsupport::bytesOf(records));
  Outcome o = tool({"map", "-o", "m.svg"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.err, "1 selected location has no position on the globe")) << o.err;
  EXPECT_TRUE(contains(o.err, "8 locations drawn")) << o.err;
}

TEST_F(MapCommandTest, RefusesOtherFilesOptionsAndWidthsAndKeepsTheOldFileOnFailure) {
  for (std::vector<std::string> bad :
       {std::vector<std::string>{"map", "-o", "m.jpg"},
        {"map", "-o", ".png"},
        {"map"},
        {"map", "-o", "m.png", "--width", "299"},
        {"map", "-o", "m.png", "--width", "8001"},
        {"map", "-o", "m.png", "--extent", "0,10,10,5"},
        {"map", "-o", "m.png", "--extent", "0,0,10,10", "--world"},
        {"map", "-o", "m.png", "--world", "--projection", "north-polar"},
        {"map", "-o", "m.png", "--around", "60,10"},
        {"map", "-o", "m.png", "--around", "95,10", "--radius-km", "100"},
        {"map", "-o", "m.png", "--around", "60,10", "--radius-km", "20000"},
        {"map", "-o", "m.png", "--projection", "mercator"},
        {"map", "-o", "m.png", "--color-by", "name"},
        {"map", "-o", "m.png", "--dot-size", "0"},
        {"nearest", "60", "10", "--map", "m.gif"}}) {
    EXPECT_EQ(tool(bad).status, 2) << bad.back();
  }
  EXPECT_EQ(tooltest::userFiles(dir),
            (std::vector<std::string>{"s.bmt", "s.csv", "s.dir", "s.stn"}));
  // A folder where the picture should go: the rename fails, the folder and
  // what it holds stay, nothing else is left.
  ASSERT_EQ(mkdir(dir.file("m.png").c_str(), 0755), 0);
  testsupport::writeFile(dir.file("m.png/keep"), "x");
  Outcome o = tool({"map", "-o", "m.png"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "Cannot write \"m.png\"")) << o.err;
  EXPECT_EQ(testsupport::readFile(dir.file("m.png/keep")), "x");
  EXPECT_EQ(tooltest::userFiles(dir),
            (std::vector<std::string>{"m.png", "s.bmt", "s.csv", "s.dir", "s.stn"}));
  EXPECT_TRUE(tooltest::tmpFiles(dir).empty());
}

TEST_F(MapCommandTest, NearestDrawsItsAnswerRoundThePoint) {
  Outcome o = tool({"nearest", "60.0", "10.0", "-k", "3", "--map", "near.png"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "Oslo")) << o.out;
  EXPECT_TRUE(contains(o.err, "3 locations drawn in near.png")) << o.err;
  Picture near(dir.file("near.png"));
  EXPECT_GT(near.count(mapstyle::kRing), 20);
  EXPECT_GT(dotPixels(near), 3 * 9);
}

}  // namespace
