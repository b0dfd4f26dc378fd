// export --format geojson as a GIS tool reads it: the RFC 7946 rules for a
// FeatureCollection of points, and records that have no place on the globe.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>

#include "tests/cli/ToolRun.h"
#include "tests/support/Records.h"

namespace {

using nlohmann::json;
using tooltest::contains;
using tooltest::Outcome;

class GeoJsonExportTest : public tooltest::SampleDatabaseTest {
 protected:
  // Sets the position of records 0 and 1 in the data file itself.
  void placeFirstTwo(float latitude0, float latitude1) {
    std::vector<LocationData> records = tooltest::readRecords(dir.file("s.bmt"));
    std::memcpy(&records[0].latitude, &latitude0, sizeof latitude0);
    std::memcpy(&records[1].latitude, &latitude1, sizeof latitude1);
    testsupport::writeFile(dir.file("s.bmt"), testsupport::bytesOf(records));
  }
};

// Every member the RFC requires, with the types it requires; a Point's
// position is [longitude, latitude] within their ranges and equal to the
// record's own fields.
void expectFeatureCollection(const json& doc, std::size_t features) {
  ASSERT_TRUE(doc.is_object());
  EXPECT_EQ(doc.at("type"), "FeatureCollection");
  EXPECT_FALSE(doc.contains("crs"));  // RFC 7946 removed it: WGS84 is implied
  ASSERT_TRUE(doc.at("features").is_array());
  ASSERT_EQ(doc["features"].size(), features);
  for (const json& f : doc["features"]) {
    EXPECT_EQ(f.at("type"), "Feature");
    ASSERT_TRUE(f.at("properties").is_object());
    const json& g = f.at("geometry");
    if (g.is_null()) continue;
    EXPECT_EQ(g.at("type"), "Point");
    const json& c = g.at("coordinates");
    ASSERT_TRUE(c.is_array());
    ASSERT_EQ(c.size(), 2u);
    ASSERT_TRUE(c[0].is_number() && c[1].is_number());
    EXPECT_GE(c[0].get<double>(), -180.0);
    EXPECT_LE(c[0].get<double>(), 180.0);
    EXPECT_GE(c[1].get<double>(), -90.0);
    EXPECT_LE(c[1].get<double>(), 90.0);
    EXPECT_EQ(c[0], f["properties"].at("longitude"));
    EXPECT_EQ(c[1], f["properties"].at("latitude"));
  }
}

TEST_F(GeoJsonExportTest, IsAFeatureCollectionOfPointsWithTheRecordsAsProperties) {
  Outcome o = tool({"export", "--format", "geojson"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.err, "");
  json doc = json::parse(o.out);
  expectFeatureCollection(doc, 9);
  bool sawLima = false;
  for (const json& f : doc["features"]) {
    const json& p = f["properties"];
    for (const char* key : {"index", "name", "state", "country", "continent", "level", "auxValue",
                            "seriesA1", "seriesB12", "seriesC5", "seriesD1", "seriesE12"}) {
      EXPECT_TRUE(p.contains(key)) << key;
    }
    // The station file's six (every location has its position's time zone).
    EXPECT_EQ(p.size(), 9u + 5 * 12 + 6);
    for (const auto& [key, value] : p.items()) EXPECT_FALSE(value.is_array()) << key;
    if (p["name"] == "Lima") {
      sawLima = true;
      EXPECT_EQ(f["geometry"]["coordinates"], json::parse("[-77.0428, -12.0464]"));
      EXPECT_EQ(p["country"], "Peru");
      EXPECT_EQ(p["continent"], "South America");
      EXPECT_EQ(p["timezone"], "America/Lima");
      EXPECT_TRUE(p["ids"].is_null());
    }
    if (p["name"] == "Oslo") {
      EXPECT_EQ(p["seriesA1"], -4.3);
    }
  }
  EXPECT_TRUE(sawLima);

  // The same text through --output; a selection of nothing is still valid.
  ASSERT_EQ(tool({"export", "--format", "geojson", "--output", "s.geojson"}).status, 0);
  EXPECT_EQ(testsupport::readFile(dir.file("s.geojson")), o.out);
  o = tool({"export", "--format", "geojson", "--country", "Atlantis"});
  ASSERT_EQ(o.status, 0) << o.err;
  expectFeatureCollection(json::parse(o.out), 0);
}

TEST_F(GeoJsonExportTest, ARecordWithoutAPlaceOnTheGlobeGetsANullGeometry) {
  placeFirstTwo(std::numeric_limits<float>::quiet_NaN(), 95.0f);
  Outcome o = tool({"export", "--format", "geojson"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.err, "2 records have no position on the globe")) << o.err;
  json doc = json::parse(o.out);
  expectFeatureCollection(doc, 9);
  int unplaced = 0;
  for (const json& f : doc["features"]) {
    long index = f["properties"]["index"];
    EXPECT_EQ(f["geometry"].is_null(), index < 2) << index;
    if (f["geometry"].is_null()) ++unplaced;
  }
  EXPECT_EQ(unplaced, 2);
}

}  // namespace
