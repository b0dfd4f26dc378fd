// The world map: where dots land and in what colour, the pictures the map
// command writes, and text a drawing library would refuse.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "tests/cli/ToolRun.h"
#include "tests/support/Records.h"
#include "tool/geo/WorldMap.h"
#include "tool/text/Text.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

using testsupport::TempDir;
using tooltest::contains;
using tooltest::Outcome;

// A PNG file read back: its size and its pixels as 0xRRGGBB.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  explicit Picture(const std::string& path) {
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
      width = cairo_image_surface_get_width(s);
      height = cairo_image_surface_get_height(s);
      int stride = cairo_image_surface_get_stride(s);
      const unsigned char* data = cairo_image_surface_get_data(s);
      for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
          std::uint32_t p;
          std::memcpy(&p, data + row * stride + column * 4, 4);
          pixels.push_back(p & 0xffffff);
        }
      }
    }
    cairo_surface_destroy(s);
  }
  std::uint32_t at(double x, double y) const {
    return pixels[static_cast<int>(y) * width + static_cast<int>(x)];
  }
};

TEST(WorldMapTest, DotsLandAtTheirPositionsInTheirGroupsColour) {
  TempDir dir;
  WorldMap map(800);
  map.setTitle("title", "subtitle");
  struct Point {
    const char* group;
    double latitude, longitude;
  } points[] = {{"Europe", 59.9, 10.75},     {"Africa", -1.29, 36.8},  {"EUROPE", 40.0, -3.7},
                {"Pacific", 0.0, 179.9},     {"Pacific", 0.0, -179.9}, {"Arctic", 89.0, 0.0},
                {"Antarctica", -89.0, 100.0}};
  for (const Point& p : points) map.add(p.group, p.latitude, p.longitude);
  EXPECT_EQ(map.count(), 7);
  EXPECT_EQ(map.colourOf("europe"), map.colourOf("Europe"));
  EXPECT_NE(map.colourOf("Europe"), map.colourOf("Africa"));
  // The frame: the whole globe, twice as wide as high.
  EXPECT_DOUBLE_EQ(map.x(180) - map.x(-180), 2 * (map.y(-90) - map.y(90)));
  EXPECT_DOUBLE_EQ(map.x(0), (map.x(-180) + map.x(180)) / 2);
  EXPECT_LT(map.y(60), map.y(0));

  map.writePng(dir.file("m.png"));
  Picture picture(dir.file("m.png"));
  EXPECT_EQ(picture.width, 800);
  EXPECT_EQ(picture.height, map.height());
  for (const Point& p : points) {
    EXPECT_EQ(picture.at(map.x(p.longitude), map.y(p.latitude)), map.colourOf(p.group)) << p.group;
  }
  // Away from every dot the sea shows.
  std::uint32_t sea = picture.at(map.x(-100), map.y(-50));
  for (const Point& p : points) EXPECT_NE(sea, map.colourOf(p.group));
}

TEST(WorldMapTest, ManyGroupsShareTheLastColourAndManyDotsOnOnePixelAreKeptOnce) {
  TempDir dir;
  WorldMap map(400);
  for (int g = 0; g < 12; ++g) map.add("group" + std::to_string(g), g, g);
  EXPECT_EQ(map.colourOf("group10"), map.colourOf("group11"));
  EXPECT_NE(map.colourOf("group9"), map.colourOf("group10"));

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
  map.add("\xe2\x82", 0, 0);
  map.setNotice("\x80");
  map.writePng(dir.file("m.png"));
  map.writeSvg(dir.file("m.svg"));
}

class MapCommandTest : public tooltest::SampleDatabaseTest {};

TEST_F(MapCommandTest, WritesAPngOrAnSvgOfTheSelection) {
  Outcome o = tool({"map", "-o", "world.PNG", "--width", "640"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.err, "9 locations drawn in world.PNG (640 x ")) << o.err;
  Picture png(dir.file("world.PNG"));
  ASSERT_EQ(png.width, 640);
  EXPECT_GT(png.height, 320);
  std::size_t paper = 0;
  for (std::uint32_t p : png.pixels) paper += (p == 0xffffff);
  EXPECT_LT(paper, png.pixels.size());

  o = tool({"map", "--continent", "Africa", "--output", "africa.svg"});
  ASSERT_EQ(o.status, 0) << o.err;
  std::string svg = testsupport::readFile(dir.file("africa.svg"));
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_TRUE(contains(svg, "<svg")) << svg.substr(0, 200);
  EXPECT_TRUE(contains(svg, "</svg>"));
  EXPECT_EQ(tooltest::userFiles(dir),
            (std::vector<std::string>{"africa.svg", "s.bmt", "s.csv", "s.dir", "world.PNG"}));
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

TEST_F(MapCommandTest, RefusesOtherFilesAndWidthsAndKeepsTheOldFileOnFailure) {
  for (std::vector<std::string> bad : {std::vector<std::string>{"map", "-o", "m.jpg"},
                                       {"map", "-o", ".png"},
                                       {"map"},
                                       {"map", "-o", "m.png", "--width", "299"},
                                       {"map", "-o", "m.png", "--width", "8001"}}) {
    EXPECT_EQ(tool(bad).status, 2) << bad.back();
  }
  EXPECT_EQ(tooltest::userFiles(dir), (std::vector<std::string>{"s.bmt", "s.csv", "s.dir"}));
  // A folder where the picture should go: the rename fails, the folder and
  // what it holds stay, nothing else is left.
  ASSERT_EQ(mkdir(dir.file("m.png").c_str(), 0755), 0);
  testsupport::writeFile(dir.file("m.png/keep"), "x");
  Outcome o = tool({"map", "-o", "m.png"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "Cannot write \"m.png\"")) << o.err;
  EXPECT_EQ(testsupport::readFile(dir.file("m.png/keep")), "x");
  EXPECT_EQ(tooltest::userFiles(dir),
            (std::vector<std::string>{"m.png", "s.bmt", "s.csv", "s.dir"}));
  EXPECT_TRUE(tooltest::tmpFiles(dir).empty());
}

}  // namespace
