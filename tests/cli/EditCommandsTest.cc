// add, set, delete and compact: add and a moving set append the record and
// delete leaves it, with the directory walking every location in its group
// and check finding no fault; compact (and delete, once half the records
// are unused) leaves the file grouped; after a failure both files are as
// they were.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "datafile/BMTFile.h"
#include "tests/cli/ToolRun.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;
using tooltest::contains;
using tooltest::expectGroupedDatabase;
using tooltest::Outcome;
using tooltest::readRecords;
using tooltest::run;
using Files = std::vector<std::string>;

class EditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFile(dir.file("s.csv"), tooltest::kSample);
    ASSERT_EQ(run(dir, {"--db", "s.bmt", "create", "s.csv"}).status, 0);
  }
  Outcome tool(std::vector<std::string> args, const tooltest::RunOptions& options = {}) {
    args.insert(args.begin(), {"--db", "s.bmt"});
    return run(dir, args, options);
  }
  // Fails unless check finds no fault and the walk lists `locations`
  // locations.
  void expectSound(long locations) {
    Outcome o = tool({"check"});
    EXPECT_EQ(o.status, 0) << o.out;
    o = tool({"list"});
    EXPECT_TRUE(contains(
        o.out, std::to_string(locations) + (locations == 1 ? " location." : " locations.")))
        << o.out;
    EXPECT_EQ(tooltest::tmpFiles(dir), Files{});
  }
  // The names of the records in file order.
  std::vector<std::string> names() {
    std::vector<std::string> out;
    for (const LocationData& r : readRecords(dir.file("s.bmt"))) out.push_back(r.name);
    return out;
  }
  // The names of the locations in the directory's walk.
  std::vector<std::string> walked() {
    std::vector<std::string> out;
    BMTFile db(dir.file("s.bmt").c_str(), BMTFile::kReadOnly);
    Directory* d = db.directory;
    if (d->IsEmpty()) return out;
    d->first();
    do {
      LocationData r;
      db.getLocationData(d->getLocationIndex(), r);
      out.push_back(r.name);
    } while (d->next());
    return out;
  }
  TempDir dir;
};

TEST_F(EditTest, AddAppendsTheRecordAndEntersItInItsGroup) {
  Outcome o = tool({"add", "--name", "Tromso", "--state", "Troms", "--country", "NORWAY",
                    "--continent", "europe", "--level", "2", "--latitude", "69.6492", "--longitude",
                    "18.9553", "--series-c", "1,2,3,4,5,6,7,8,9,10,11,12"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "Added Europe/Norway/Troms/Tromso as record 9; the database holds 10 locations.\n");
  const Files inGroups = {"Cairo",  "Nairobi", "Helsinki", "Oslo",  "Tromso",
                          "Bergen", "Voss",    "Lund",     "Quito", "Lima"};
  EXPECT_EQ(walked(), inGroups);
  std::vector<LocationData> records = readRecords(dir.file("s.bmt"));
  // It took the letter case of the groups it joined.
  EXPECT_STREQ(records[9].country, "Norway");
  EXPECT_STREQ(records[9].continent, "Europe");
  std::int16_t c12;
  std::memcpy(&c12, &records[9].seriesC[11], sizeof c12);
  EXPECT_EQ(c12, 12);
  expectSound(10);
  o = tool({"check"});
  EXPECT_TRUE(contains(o.out, "stands apart from the rest of their group")) << o.out;

  // Compaction puts the record in its group in the file too.
  ASSERT_EQ(tool({"compact"}).status, 0);
  expectGroupedDatabase(dir.file("s.bmt"));
  EXPECT_EQ(names(), inGroups);

  // A new continent goes to its place too.
  o = tool({"add", "--name", "Perth", "--state", "WA", "--country", "Australia", "--continent",
            "Oceania", "--latitude", "-31.95", "--longitude", "115.86"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(walked()[8], "Perth");  // after Europe, before South America
  expectSound(11);
}

TEST_F(EditTest, AddRefusesAnEqualLocation) {
  Outcome o = tool({"add", "--name", "oslo", "--state", "Oslo", "--country", "Norway",
                    "--continent", "Europe", "--latitude", "59.9139", "--longitude", "10.7522"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "already (record 3")) << o.err;
  EXPECT_EQ(readRecords(dir.file("s.bmt")).size(), 9u);
}

TEST_F(EditTest, SetChangesInPlaceOrMovesTheRecord) {
  std::string before = readFile(dir.file("s.bmt"));
  Outcome o = tool({"set", "3", "--aux-value", "42"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "Changed record 3 (Europe/Norway/Oslo/Oslo).\n");
  EXPECT_EQ(tooltest::auxValue(readRecords(dir.file("s.bmt"))[3]), 42);
  expectSound(9);

  // Another country: the record moves to Sweden's group, its other fields
  // kept; the new record is appended, the old one unused.
  o = tool({"set", "3", "--country", "Sweden", "--state", "Stockholm", "--name", "Stockholm"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "it is now record 9 (Europe/Sweden/Stockholm/Stockholm)")) << o.out;
  std::vector<LocationData> records = readRecords(dir.file("s.bmt"));
  ASSERT_EQ(records.size(), 10u);
  EXPECT_STREQ(records[9].name, "Stockholm");
  EXPECT_EQ(tooltest::auxValue(records[9]), 42);
  EXPECT_EQ(walked(), (Files{"Cairo", "Nairobi", "Helsinki", "Bergen", "Voss", "Lund", "Stockholm",
                             "Quito", "Lima"}));
  expectSound(9);

  o = tool({"set", "20", "--level", "2"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "No location refers to record 20")) << o.err;
}

TEST_F(EditTest, DeleteByIndexPathAndSelection) {
  Outcome o = tool({"delete", "Europe/Norway", "--dry-run"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "Would delete 3 locations:\n"
            "  3  Europe/Norway/Oslo/Oslo\n"
            "  4  Europe/Norway/Vestland/Bergen\n"
            "  5  Europe/Norway/Vestland/Voss\n");
  EXPECT_EQ(readRecords(dir.file("s.bmt")).size(), 9u);

  o = tool({"delete", "Europe/Norway/Vestland/Bergen"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "Deleted 1 location; the database holds 8 locations.\n");
  expectSound(8);

  // The records stay while most of the file is in use.
  o = tool({"delete", "0"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(walked(), (Files{"Nairobi", "Helsinki", "Oslo", "Voss", "Lund", "Quito", "Lima"}));
  EXPECT_EQ(readRecords(dir.file("s.bmt")).size(), 9u);
  expectSound(7);

  // Five unused records against four in use: the file is compacted.

  ASSERT_EQ(tool({"selection", "new", "south.sel", "--bbox", "-90,-180,0,180"}).status, 0);
  o = tool({"delete", "--selection", "south.sel"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "Deleted 3 locations; the database holds 4 locations.\n");
  EXPECT_EQ(names(), (Files{"Helsinki", "Oslo", "Voss", "Lund"}));
  expectGroupedDatabase(dir.file("s.bmt"));
  expectSound(4);

  // Everything, then the empty database still works.
  ASSERT_EQ(tool({"delete", "Europe"}).status, 0);
  EXPECT_EQ(readFile(dir.file("s.bmt")), "");
  EXPECT_EQ(tool({"check"}).status, 0);
  o = tool({"add", "--name", "Lima", "--country", "Peru", "--continent", "South America",
            "--latitude", "-12", "--longitude", "-77"});
  EXPECT_EQ(o.status, 0) << o.err;
  expectSound(1);

  o = tool({"delete", "Asia"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "No location is under \"Asia\"")) << o.err;
}

TEST_F(EditTest, CompactDropsUnreferredRecordsAndRegroups) {
  // Records appended at the end, as a host's addLocationData leaves them,
  // outside their groups; the directory rebuilt from that file splits them.
  std::string bytes = readFile(dir.file("s.bmt"));
  writeFile(dir.file("s.bmt"), bytes + bytes.substr(3 * 331, 331) + bytes.substr(0, 331 * 2));
  std::remove(dir.file("s.dir").c_str());
  Outcome o = tool({"check"});
  EXPECT_EQ(o.status, 0);  // notes: what compact tidies is no fault
  EXPECT_TRUE(contains(o.out, "more than once in the directory")) << o.out;
  EXPECT_TRUE(contains(o.out, "apart from the rest of their group")) << o.out;

  o = tool({"compact"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "Compacted s.bmt: 12 records before, 12 after.\n");
  expectSound(12);
  expectGroupedDatabase(dir.file("s.bmt"));

  // A deleted location's record goes at the next compaction.
  ASSERT_EQ(tool({"delete", "Africa/Egypt"}).status, 0);
  o = tool({"compact"});
  EXPECT_EQ(o.out,
            "Compacted s.bmt: 12 records before, 10 after (2 records that no location referred "
            "to dropped).\n");
  expectSound(10);
  expectGroupedDatabase(dir.file("s.bmt"));
}

TEST_F(EditTest, AFailedWriteLeavesBothFilesAsTheyWere) {
  // A database big enough that its new data file cannot be written under
  // the limit, while the old files stay readable.
  writeFile(dir.file("big.csv"), readFile(METDB_SOURCE_DIR "/data/stations.csv"));
  ASSERT_EQ(run(dir, {"--db", "s.bmt", "create", "big.csv", "--force"}).status, 0);
  std::string data = readFile(dir.file("s.bmt"));
  std::string directory = readFile(dir.file("s.dir"));
  tooltest::RunOptions limited;
  limited.fileSizeLimit = 50000;

  const std::vector<std::vector<std::string>> edits = {
      {"compact"},
      {"set", "5", "--country", "Elsewhere"},
      {"set", "--continent", "Europe", "--set", "country=Elsewhere"},
      {"rename", "Europe", "Elsewhere"},
      {"add", "--name", "X", "--country", "Y", "--continent", "Z", "--latitude", "1", "--longitude",
       "2"},
  };
  for (const auto& edit : edits) {
    Outcome o = tool(edit, limited);
    EXPECT_EQ(o.status, 1) << edit[0] << o.out;
    EXPECT_TRUE(contains(o.err, "nothing was changed")) << edit[0] << o.err;
    EXPECT_EQ(readFile(dir.file("s.bmt")), data) << edit[0];
    EXPECT_EQ(readFile(dir.file("s.dir")), directory) << edit[0];
    EXPECT_EQ(tooltest::userFiles(dir), (Files{"big.csv", "s.bmt", "s.csv", "s.dir", "s.stn"})) << edit[0];
  }
  EXPECT_EQ(tool({"check"}).status, 0);
}

}  // namespace
