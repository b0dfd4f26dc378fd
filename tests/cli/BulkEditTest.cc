// set by path, set of every selected location and rename: each change is
// one rewrite that keeps every other record byte for byte and the file
// grouped; a dry run or a refusal changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/cli/ToolRun.h"
#include "tests/support/Records.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::bytesOf;
using testsupport::readFile;
using tooltest::contains;
using tooltest::Outcome;
using tooltest::readRecords;

class BulkEditTest : public tooltest::SampleDatabaseTest {
 protected:
  // Fails unless the data file holds exactly the records it held before
  // (in any order), each changed by change where it applies, and the file
  // is grouped with nothing for check to find.
  void expectRecordsAfter(const std::vector<LocationData>& before,
                          const std::function<void(LocationData*)>& change) {
    std::vector<std::string> expected;
    for (LocationData r : before) {
      change(&r);
      expected.push_back(bytesOf(r));
    }
    std::vector<std::string> actual;
    for (const LocationData& r : readRecords(dir.file("s.bmt"))) actual.push_back(bytesOf(r));
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
    EXPECT_TRUE(expected == actual) << "the records differ from the intended change";
    tooltest::expectGroupedDatabase(dir.file("s.bmt"));
    Outcome o = tool({"check"});
    EXPECT_EQ(o.status, 0) << o.out;
  }
  std::vector<std::string> names() {
    std::vector<std::string> out;
    for (const LocationData& r : readRecords(dir.file("s.bmt"))) out.push_back(r.name);
    return out;
  }
  static void setText(char* field, std::size_t size, const char* text) {
    std::memset(field, 0, size);
    std::memcpy(field, text, std::strlen(text));
  }
};

TEST_F(BulkEditTest, SetByPath) {
  Outcome o = tool({"set", "europe/NORWAY/Vestland/bergen", "--aux-value", "7"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "Changed record 4 (Europe/Norway/Vestland/Bergen).\n");
  EXPECT_EQ(tooltest::auxValue(readRecords(dir.file("s.bmt"))[4]), 7);

  o = tool({"set", "Europe/Norway/Vestland/Tromso", "--level", "2"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err,
            "metdb: No location \"Europe/Norway/Vestland/Tromso\" is in the database; nothing "
            "was changed.\n");
}

TEST_F(BulkEditTest, AnAmbiguousPathListsEveryLocationItNames) {
  ASSERT_EQ(tool({"add", "--name", "Voss", "--state", "Vestland", "--country", "Norway",
                  "--continent", "Europe", "--latitude", "60.7", "--longitude", "6.5"})
                .status,
            0);
  std::string data = readFile(dir.file("s.bmt"));
  Outcome o = tool({"set", "Europe/Norway/Vestland/Voss", "--level", "2"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err,
            "metdb: \"Europe/Norway/Vestland/Voss\" names 2 locations; give the record index of "
            "the one to change (nothing was changed):\n"
            "  5  Europe/Norway/Vestland/Voss  level 3 at 60.628,6.418\n"
            "  9  Europe/Norway/Vestland/Voss  level 1 at 60.7,6.5\n");
  EXPECT_EQ(readFile(dir.file("s.bmt")), data);
}

TEST_F(BulkEditTest, SetOfTheSelectedLocationsKeepsEveryRecord) {
  std::vector<LocationData> before = readRecords(dir.file("s.bmt"));
  Outcome o = tool({"set", "--country", "norway", "--set", "country=Denmark", "--set", "level=4"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "Changed 3 locations (3 moved to their new places); the database holds 9 "
            "locations.\n");
  expectRecordsAfter(before, [](LocationData* r) {
    if (std::string(r->country) != "Norway") return;
    setText(r->country, sizeof r->country, "Denmark");
    r->level = 4;
  });
  // Denmark comes before Finland.
  EXPECT_EQ(names(), (std::vector<std::string>{"Cairo", "Nairobi", "Oslo", "Bergen", "Voss",
                                               "Helsinki", "Lund", "Quito", "Lima"}));

  o = tool({"set", "--country", "Atlantis", "--set", "level=2"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "No location is selected by --country Atlantis; nothing was changed.\n");
}

TEST_F(BulkEditTest, DryRunListsTheChangesAndChangesNothing) {
  std::string data = readFile(dir.file("s.bmt"));
  std::string directory = readFile(dir.file("s.dir"));
  Outcome o = tool({"set", "--state", "Vestland", "--set", "state=Hordaland", "--set",
                    "seriesA1=2.5", "--dry-run"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "Would change 2 locations:\n"
            "  4  Europe/Norway/Vestland/Bergen: state \"Vestland\" -> \"Hordaland\", seriesA1 "
            "1.5 -> 2.5\n"
            "  5  Europe/Norway/Vestland/Voss: state \"Vestland\" -> \"Hordaland\", seriesA1 0 -> "
            "2.5\n");
  EXPECT_EQ(readFile(dir.file("s.bmt")), data);
  EXPECT_EQ(readFile(dir.file("s.dir")), directory);
}

TEST_F(BulkEditTest, ChangesThatMakeTwoLocationsEqualAreRefused) {
  // Voss moved onto Bergen's name, level and position.
  std::string data = readFile(dir.file("s.bmt"));
  Outcome o = tool({"set", "--name", "Voss", "--set", "name=Bergen", "--set", "level=2", "--set",
                    "latitude=60.3913", "--set", "longitude=5.3221"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err,
            "metdb: Record 5 would become Europe/Norway/Vestland/Bergen with level 2 at "
            "60.3913,5.3221, which record 4 is already; nothing was changed.\n");
  EXPECT_EQ(readFile(dir.file("s.bmt")), data);
}

TEST_F(BulkEditTest, RenameOfAStateJoinsTheExistingState) {
  std::vector<LocationData> before = readRecords(dir.file("s.bmt"));
  Outcome o = tool({"rename", "Europe/Norway/Oslo", "VESTLAND"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "Renamed state Europe/Norway/Oslo to Europe/Norway/Vestland: 1 location, which "
            "joins the 2 locations there.\n");
  // It took the letter case of the state it joined.
  expectRecordsAfter(before, [](LocationData* r) {
    if (std::string(r->state) == "Oslo") setText(r->state, sizeof r->state, "Vestland");
  });
  EXPECT_EQ(names(), (std::vector<std::string>{"Cairo", "Nairobi", "Helsinki", "Bergen", "Oslo",
                                               "Voss", "Lund", "Quito", "Lima"}));
}

TEST_F(BulkEditTest, RenameOfACountry) {
  std::vector<LocationData> before = readRecords(dir.file("s.bmt"));
  Outcome o = tool({"rename", "Europe/Norway", "Danmark"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "Renamed country Europe/Norway to Europe/Danmark: 3 locations.\n");
  expectRecordsAfter(before, [](LocationData* r) {
    if (std::string(r->country) == "Norway") setText(r->country, sizeof r->country, "Danmark");
  });
  EXPECT_EQ(names(), (std::vector<std::string>{"Cairo", "Nairobi", "Oslo", "Bergen", "Voss",
                                               "Helsinki", "Lund", "Quito", "Lima"}));
}

// Renaming does not make exact duplicates (kept on purpose) any more
// alike: they are renamed and kept, both.
TEST(RenameTest, KeepsExactDuplicatesThatWereThereBefore) {
  testsupport::TempDir dir;
  testsupport::writeFile(dir.file("d.csv"),
                         "name,state,country,continent,level,latitude,longitude\n"
                         "Oslo,Oslo,Norway,Europe,1,59.9139,10.7522\n"
                         "Oslo,Oslo,Norway,Europe,1,59.9139,10.7522\n"
                         "Lund,Skane,Sweden,Europe,2,55.7047,13.191\n");
  ASSERT_EQ(tooltest::run(dir, {"--db", "d.bmt", "create", "d.csv", "--keep-duplicates"}).status,
            0);
  Outcome o = tooltest::run(dir, {"--db", "d.bmt", "rename", "Europe/Norway", "Norge"});
  ASSERT_EQ(o.status, 0) << o.err;
  std::vector<LocationData> after = readRecords(dir.file("d.bmt"));
  ASSERT_EQ(after.size(), 3u);
  EXPECT_EQ(std::count_if(after.begin(), after.end(),
                          [](const LocationData& r) { return std::string(r.country) == "Norge"; }),
            2);
  EXPECT_EQ(tooltest::run(dir, {"--db", "d.bmt", "check"}).status, 0);
}

}  // namespace
