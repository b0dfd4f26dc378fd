// The nearest locations answered from directory positions.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "tests/support/Records.h"
#include "tool/geo/NearestLocations.h"
#include "tool/record/RecordPosition.h"

using namespace metdb;  // NOLINT: the tool's library under test

namespace {

// Records spread over the globe, with clusters, and their directory
// entries holding the positions rounded to 0.01° as a directory file does.
class NearestLocationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> lat(-90.0f, 90.0f), lon(-180.0f, 180.0f),
        near(-1.0f, 1.0f);
    for (int i = 0; i < 3000; ++i) {
      float la = i % 3 == 0 ? 60.0f + near(random) : lat(random);
      float lo = i % 3 == 0 ? 25.0f + near(random) : lon(random);
      records.push_back(testsupport::makeRecord("Europe", "Finland", "U", "X", 1, la, lo));
      auto entry = std::make_unique<Location>(records.back(), i);
      entry->latitude = std::round(entry->latitude * 100.0f) / 100.0f;
      entry->longitude = std::round(entry->longitude * 100.0f) / 100.0f;
      entries.push_back(entry.get());
      owned.push_back(std::move(entry));
    }
  }

  RecordReader reader() {
    return [this](long index, LocationData& record) {
      ++reads;
      record = records[static_cast<std::size_t>(index)];
    };
  }

  // The answer by a geodesic to every record's own position.
  std::vector<GeoNeighbour> reference(double lat, double lon, std::size_t k, double maxMetres) {
    std::vector<GeoPoint> points;
    for (std::size_t i = 0; i < records.size(); ++i) {
      RecordPosition p(records[i]);
      points.push_back({p.latitude, p.longitude, static_cast<long>(i)});
    }
    return GeoIndex::scanAll(points, lat, lon, k, maxMetres);
  }

  void expectSame(const std::vector<NearLocation>& found,
                  const std::vector<GeoNeighbour>& expected) {
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(found[i].recordIndex, static_cast<long>(expected[i].point)) << i;
      EXPECT_DOUBLE_EQ(found[i].metres, expected[i].metres) << i;
    }
  }

  std::vector<LocationData> records;
  std::vector<std::unique_ptr<Location>> owned;
  std::vector<Location*> entries;
  long reads = 0;
};

TEST_F(NearestLocationsTest, AnswersAsAScanOfTheRecordsReadingOnlyCandidates) {
  NearestLocations index(entries);
  for (auto q : {std::pair<double, double>{60.0, 25.0}, {0.0, 179.99}, {-89.0, 0.0}, {45, -120}}) {
    reads = 0;
    expectSame(index.nearest(q.first, q.second, 5, reader()),
               reference(q.first, q.second, 5, INFINITY));
    EXPECT_LT(reads, 200) << q.first;
    expectSame(index.nearest(q.first, q.second, SIZE_MAX, reader(), 3000.0),
               reference(q.first, q.second, SIZE_MAX, 3000.0));
  }
}

TEST_F(NearestLocationsTest, ARecordFarFromItsEntryStillGivesTheRightAnswer) {
  // A directory file written elsewhere with a stale position.
  entries[1]->latitude = -60.0f;
  NearestLocations index(entries);
  expectSame(index.nearest(60.0, 25.0, 5, reader()), reference(60.0, 25.0, 5, INFINITY));
}

}  // namespace
