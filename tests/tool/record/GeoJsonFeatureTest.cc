// The export's GeoJSON text against the feature as a JSON value: the same
// bytes for ordinary records and for every value the fast path must hand
// to the JSON library (non-ASCII, control and invalid bytes, quotes,
// numbers that are whole, tiny, huge, negative zero or not numbers).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/Records.h"
#include "tool/record/GeoJsonFeature.h"
#include "tool/record/RecordJson.h"

namespace {

std::string expected(const LocationData& r, long index, const nlohmann::ordered_json& more) {
  bool placed = false;
  nlohmann::ordered_json feature = metdb::geoJsonFeature(r, index, &placed);
  for (auto& [key, value] : more.items()) feature["properties"][key] = value;
  return metdb::dumpJson(feature, -1);
}

TEST(GeoJsonFeatureTest, WritesTheBytesOfTheJsonValue) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  std::vector<LocationData> records = {
      testsupport::makeRecord("Europe", "Finland", "Uusimaa", "Helsinki", 1, 60.17f, 24.94f),
      testsupport::makeRecord("Europe", "Schweiz", "Z\xc3\xbcrich", "Z\xc3\xbcrich", 2, 47.0f,
                              -0.0f),
      testsupport::makeRecord("A \"quoted\" one", "back\\slash", "tab\there", "bad \xff byte", 3,
                              95.0f, 8.5f),
      testsupport::makeRecord("Del\x7f", "Null", "", "line\nbreak", 4, nan, 1e-7f),
  };
  records[0].level = -3;
  records[0].auxValue = -32768;
  records[1].seriesA[0] = 1e30f;
  records[1].seriesA[1] = -1e-30f;
  records[1].seriesB[2] = std::numeric_limits<float>::infinity();
  records[1].seriesD[3] = 123456789.0f;
  records[1].seriesE[4] = 0.1f;
  records[2].seriesC[5] = -7;
  // Whole floats whose shortest text is its every digit, not the shortest
  // digits in exponent form (33555672, not 3.355567e+07), small decimals
  // either way, and decimals past what a double's powers of ten hold exactly.
  records[2].seriesA[0] = 33555672.0f;
  records[2].seriesA[1] = 0.0001234f;
  records[2].seriesA[2] = -2.5e-5f;
  records[2].seriesA[3] = 1.5e-23f;
  records[2].seriesA[4] = 3.4e22f;
  records[2].seriesA[5] = 7.006492e-45f;
  records[3].seriesA[6] = std::numeric_limits<float>::max();
  records[3].seriesB[7] = std::numeric_limits<float>::denorm_min();

  nlohmann::ordered_json none = nlohmann::ordered_json::object();
  nlohmann::ordered_json more = {
      {"ids", {"wmo:02974"}}, {"elevation", 56.5}, {"timezone", nullptr}};
  for (std::size_t i = 0; i < records.size(); ++i) {
    for (const nlohmann::ordered_json* extra : {&none, &more}) {
      std::string text;
      bool placed = false;
      metdb::appendGeoJsonFeature(&text, records[i], static_cast<long>(i) * 1000003, extra,
                                  &placed);
      EXPECT_EQ(text, expected(records[i], static_cast<long>(i) * 1000003, *extra)) << i;
      EXPECT_EQ(placed, i < 2) << i;
    }
  }
}

}  // namespace
