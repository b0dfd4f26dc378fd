// Orders of selected locations: ties and positions that are no number.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "datafile/BMTFile.h"
#include "tests/support/Records.h"
#include "tests/support/TempDir.h"
#include "tool/database/Filters.h"
#include "tool/database/LocationOrder.h"
#include "tool/database/SelectedLocations.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

using testsupport::makeRecord;

TEST(LocationOrderTest, PositionsThatAreNoNumberComeLastEitherWayAndTiesKeepWalkOrder) {
  testsupport::TempDir dir;
  const float none = std::nanf("");
  testsupport::writeFile(dir.file("o.bmt"),
                         testsupport::bytesOf(std::vector<LocationData>{
                             makeRecord("Europe", "Norway", "Oslo", "A", 1, none, 10),
                             makeRecord("Europe", "Norway", "Oslo", "B", 1, 5, 10),
                             makeRecord("Europe", "Norway", "Oslo", "C", 1, none, 10),
                             makeRecord("Europe", "Norway", "Oslo", "D", 1, -3, 10),
                             makeRecord("Europe", "Norway", "Oslo", "E", 1, 5, 10)}));
  BMTFile db(dir.file("o.bmt").c_str());
  ASSERT_TRUE(db.IsValid());
  SelectedLocations selected;
  selected.build(Filters(), &db);
  EXPECT_EQ(sortedRecordIndices(selected, SortKey::kLatitude, false),
            (std::vector<long>{3, 1, 4, 0, 2}));
  EXPECT_EQ(sortedRecordIndices(selected, SortKey::kLatitude, true),
            (std::vector<long>{1, 4, 3, 0, 2}));
  EXPECT_EQ(sortedRecordIndices(selected, SortKey::kIndex, true),
            (std::vector<long>{4, 3, 2, 1, 0}));
}

}  // namespace
