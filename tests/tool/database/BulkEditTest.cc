// BulkEdit: a change of many locations scattered over the file is one
// rewrite of the data file.
#include "tool/database/BulkEdit.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Records.h"
#include "tests/support/TempDir.h"
#include "tool/database/DirectoryWalk.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

TEST(BulkEditTest, ManyScatteredChangesAreOneRewrite) {
  testsupport::TempDir dir;
  std::vector<LocationData> records;
  for (int c = 0; c < 4; ++c) {
    for (int k = 0; k < 5; ++k) {
      for (int n = 0; n < 10; ++n) {
        std::string continent = "C" + std::to_string(c);
        std::string country = "K" + std::to_string(k);
        std::string name = "L" + std::to_string(k) + std::to_string(n);
        records.push_back(testsupport::makeRecord(continent.c_str(), country.c_str(), "S",
                                                  name.c_str(), 1, static_cast<float>(n), 0));
      }
    }
  }
  testsupport::writeFile(dir.file("b.bmt"), testsupport::bytesOf(records));

  Database access(dir.file("b.bmt"), 10);
  long commits = 0;
  access.onChanged([&commits] { ++commits; });
  BMTFile* db = access.open(DatabaseUse::kWrite);
  // Every third location, across every group, moves into one new country.
  std::vector<long> indices;
  long position = 0;
  forEachLocation(db->directory, [&](Continent*, Country*, State*, Location* l) {
    if (position++ % 3 == 0) indices.push_back(l->locationIndex);
  });
  FieldAssignment moved;
  ASSERT_EQ(FieldAssignment::parse("country=Moved", &moved), "");
  BulkEdit edit(access);
  std::vector<std::string> warnings;
  edit.assign(indices, {moved}, &warnings);
  ASSERT_EQ(edit.changes().size(), indices.size());
  std::ostringstream quiet;
  ProgressInfo info(quiet, false, 0);
  edit.apply(info);

  EXPECT_EQ(commits, 1);
  EXPECT_EQ(access.db()->directory->locationCount, 200);
  EXPECT_EQ(access.recordCount(), 200);
}

}  // namespace
