// check finds faults planted in a database's files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "datafile/BMTFile.h"
#include "tests/cli/ToolRun.h"
#include "tests/support/Records.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;
using tooltest::contains;
using tooltest::Outcome;
using tooltest::run;

class CheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFile(dir.file("s.csv"), tooltest::kSample);
    ASSERT_EQ(run(dir, {"--db", "s.bmt", "create", "s.csv"}).status, 0);
  }
  Outcome check() { return run(dir, {"--db", "s.bmt", "check"}); }
  // Rewrites the data file and keeps the directory file newer than it, so
  // that the directory is still read from its file.
  void replaceData(const std::string& bytes) {
    writeFile(dir.file("s.bmt"), bytes);
    namespace fs = std::filesystem;
    fs::last_write_time(dir.file("s.dir"),
                        fs::last_write_time(dir.file("s.bmt")) + std::chrono::seconds(10));
  }
  TempDir dir;
};

TEST_F(CheckTest, ASoundDatabasePasses) {
  Outcome o = check();
  EXPECT_EQ(o.status, 0) << o.out;
  EXPECT_TRUE(contains(o.out, "ok     all 9 locations agree with their records\n")) << o.out;
  EXPECT_TRUE(contains(o.out, "No fault found.\n")) << o.out;
}

TEST_F(CheckTest, FindsARecordThatDisagreesWithItsLocation) {
  std::string bytes = readFile(dir.file("s.bmt"));
  bytes[4 * 331 + 0] = 'W';  // Bergen becomes Wergen
  bytes[6 * 331 + 104] = 7;  // Lund's level
  replaceData(bytes);
  Outcome o = check();
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.out, "FAULT  2 locations disagree with their records")) << o.out;
  EXPECT_TRUE(contains(o.out,
                       "Europe/Norway/Vestland/Bergen (record 4): name \"Bergen\" in the "
                       "directory, \"Wergen\" in the record"))
      << o.out;
  EXPECT_TRUE(contains(o.out, "level 2 in the directory, 7 in the record")) << o.out;
  // Wergen is no longer the record that Bergen's time zone was kept for.
  EXPECT_TRUE(contains(o.out, "FAULT  1 entry of the station file fits no record")) << o.out;
  EXPECT_TRUE(contains(o.out, "2 faults found.")) << o.out;
}

TEST_F(CheckTest, FindsStrayBytesAndRecordsNoLocationRefersTo) {
  std::string bytes = readFile(dir.file("s.bmt"));
  replaceData(bytes + bytes.substr(0, 331) + "xyz");
  Outcome o = check();
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.out, "FAULT  the data file holds 10 whole records and 3 bytes more"))
      << o.out;
  EXPECT_TRUE(contains(o.out, "note   1 record is referred to by no location")) << o.out;
  EXPECT_TRUE(contains(o.out, "record 9\n")) << o.out;
  EXPECT_TRUE(contains(o.out, "1 fault found.")) << o.out;
}

// What a host leaves through the library's own calls: a record appended
// after its group (which the rebuilt directory holds twice) and the record
// of a deleted location. Notes naming the command that tidies them.
TEST_F(CheckTest, StatesThatCompactionTidiesAreNotesNotFaults) {
  {
    BMTFile db(dir.file("s.bmt").c_str());
    LocationData r =
        testsupport::makeRecord("Europe", "Norway", "Vestland", "Flam", 3, 60.86f, 7.11f);
    ASSERT_EQ(db.addLocationData(r), 9);
  }
  std::remove(dir.file("s.dir").c_str());  // rebuilt from the records, Flam where it stands
  Outcome o = check();
  EXPECT_EQ(o.status, 0) << o.out;
  EXPECT_TRUE(contains(o.out, "note   1 run of records stands apart from the rest of their"))
      << o.out;
  EXPECT_TRUE(contains(o.out, "record 9 (Europe/Norway/Vestland)")) << o.out;
  EXPECT_TRUE(contains(o.out, "more than once in the directory")) << o.out;
  EXPECT_TRUE(contains(o.out, "\"metdb compact\" regroups them")) << o.out;
  {
    BMTFile db(dir.file("s.bmt").c_str());
    db.directory->first();
    db.directory->deleteEntry();
  }
  o = check();
  EXPECT_EQ(o.status, 0) << o.out;
  EXPECT_TRUE(contains(o.out,
                       "note   1 record is referred to by no location: records of "
                       "deleted locations, which \"metdb compact\" drops"))
      << o.out;
  EXPECT_TRUE(contains(o.out, "No fault found.")) << o.out;
  ASSERT_EQ(run(dir, {"--db", "s.bmt", "compact"}).status, 0);
  o = check();
  EXPECT_FALSE(contains(o.out, "note   ")) << o.out;
}

// A directory file whose location names a record index the data file does
// not hold: the rewrites refuse it, with both files as they were, instead of
// writing an empty record at 0,0 for it or dropping a record.
class StrayIndexTest : public CheckTest {
 protected:
  void plant(const std::string& index) {
    std::string text = readFile(dir.file("s.dir"));
    std::size_t name = text.rfind("\nBergen\n");
    ASSERT_NE(name, std::string::npos) << text;
    std::size_t numbers = name + 8;
    std::size_t end = text.find('\n', numbers);
    std::size_t last = text.rfind(' ', end);
    text.replace(last + 1, end - last - 1, index);
    writeFile(dir.file("s.dir"), text);  // newer than the data file: trusted
    dataBefore = readFile(dir.file("s.bmt"));
    directoryBefore = text;
  }
  void expectRefused(const Outcome& o, const std::string& index) {
    EXPECT_EQ(o.status, 1) << o.out << o.err;
    EXPECT_TRUE(contains(o.err,
                         "The directory file \"s.dir\" is damaged: "
                         "Europe/Norway/Vestland/Bergen refers to record " +
                             index +
                             ", which the data file \"s.bmt\" (9 records) "
                             "does not hold"))
        << o.err;
    EXPECT_TRUE(contains(o.err, "Remove the directory file to have it rebuilt")) << o.err;
    EXPECT_EQ(readFile(dir.file("s.bmt")), dataBefore);
    EXPECT_EQ(readFile(dir.file("s.dir")), directoryBefore);
    EXPECT_TRUE(contains(check().out, "refers to record " + index)) << check().out;
  }
  std::string dataBefore, directoryBefore;
};

TEST_F(StrayIndexTest, CompactRefuses) {
  plant("2147483647");
  expectRefused(run(dir, {"--db", "s.bmt", "compact"}), "2147483647");
}

TEST_F(StrayIndexTest, ImportRefuses) {
  plant("-1");
  writeFile(dir.file("more.csv"),
            tooltest::stationList({"Blindern,Oslo,Norway,Europe,1,59.94,10.72"}));
  expectRefused(run(dir, {"--db", "s.bmt", "import", "more.csv"}), "-1");
}

TEST_F(CheckTest, FindsADamagedDirectoryFileAndLeavesIt) {
  std::string directory = readFile(dir.file("s.dir"));
  writeFile(dir.file("s.dir"), directory.substr(0, directory.size() / 2));
  Outcome o = check();
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.out, "FAULT  the directory file s.dir does not read")) << o.out;
  EXPECT_EQ(readFile(dir.file("s.dir")), directory.substr(0, directory.size() / 2));
  // A missing one is no fault: it is rebuilt from the records.
  std::remove(dir.file("s.dir").c_str());
  o = check();
  EXPECT_EQ(o.status, 0) << o.out;
  EXPECT_TRUE(contains(o.out, "note   the directory file is missing")) << o.out;
}

}  // namespace

namespace {

// What the records say: each kind of content fault once, beside sound
// locations, named by path and record index.
TEST(ContentCheckTest, FindsDuplicatesImpossiblePositionsAndLocationsOutsideTheirCountry) {
  TempDir dir;
  writeFile(dir.file("f.csv"),
            "name,state,country,continent,level,latitude,longitude\n"
            "Zürich,ZH,Switzerland,Europe,1,47.37,8.54\n"
            "Zurich,ZH,Switzerland,Europe,2,47.372,8.541\n"
            "Kloten,ZH,Switzerland,Europe,1,47.45,8.56\n"
            "Kloten Tower,ZH,Switzerland,Europe,1,47.45003,8.56003\n"
            "Nowhere,ZH,Switzerland,Europe,1,0,0\n"
            "Swapped,ZH,Switzerland,Europe,1,8.54,47.37\n"
            "Twice,ZH,Switzerland,Europe,1,46.5,7.5\n"
            "Twice,ZH,Switzerland,Europe,1,46.5,7.5\n");
  ASSERT_EQ(run(dir, {"--db", "f.bmt", "create", "f.csv", "--keep-duplicates"}).status, 0);
  Outcome plain = run(dir, {"--db", "f.bmt", "check"});
  EXPECT_EQ(plain.status, 0) << plain.out;
  Outcome o = run(dir, {"--db", "f.bmt", "check", "--content"});
  EXPECT_EQ(o.status, 1);
  for (const char* expected :
       {"FAULT  1 location repeats an earlier one exactly", "Switzerland/ZH/Twice (record ",
        "FAULT  1 pair of locations of one name in one state lies within 1.0 km", "235 m apart",
        "note   1 pair of locations of different names lies within 10 m", "Kloten Tower (record ",
        "FAULT  1 location lies at 0, 0", "ZH/Nowhere (record ",
        "FAULT  1 location lies more than 25.0 km outside its country", "Swapped (record ",
        ") at 8.54, 47.37 lies ",
        "; latitude and longitude swapped? 47.37, 8.54 lies in Switzerland"}) {
    EXPECT_TRUE(contains(o.out, expected)) << expected << "\n" << o.out;
  }
}

// Positions outside their country come most suspicious first, each with
// the slip that explains it; a station on an island that the coarse
// outlines leave out is no finding.
TEST(ContentCheckTest, RanksPositionsOutsideTheirCountryAndNamesTheSlip) {
  TempDir dir;
  writeFile(dir.file("f.csv"),
            "name,state,country,continent,level,latitude,longitude\n"
            "Lampedusa,AG,Italy,Europe,1,35.5,12.6\n"
            "Fernando de Noronha,PE,Brazil,South America,1,-3.85,-32.42\n"
            "Lost Sign,Uusimaa,Finland,Europe,1,-60.17,24.94\n"
            "Minutes,Savannakhet,Laos,Asia,1,16.34,104.45\n"
            "Point,Vestland,Norway,Europe,1,6.04,5.32\n"
            "North Sea,Vestland,Norway,Europe,1,57.0,3.0\n"
            "Far Away,Vestland,Norway,Europe,1,40.0,-40.0\n");
  ASSERT_EQ(run(dir, {"--db", "f.bmt", "create", "f.csv"}).status, 0);
  Outcome o = run(dir, {"--db", "f.bmt", "check", "--content"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.out,
                       "FAULT  1 location lies more than 25.0 km outside its country, and in it "
                       "with a sign lost or added\n"))
      << o.out;
  std::size_t sign = o.out.find("the latitude's sign lost or added? 60.17, 24.94 lies in Finland");
  std::size_t minutes =
      o.out.find("degrees and minutes read as decimal degrees? 16.56667, 104.75 lies in Laos");
  std::size_t point = o.out.find("a decimal point in the wrong place? 60.4, 5.32 lies in Norway");
  std::size_t far = o.out.find("Far Away (record ");
  for (std::size_t at : {sign, minutes, point, far}) EXPECT_NE(at, std::string::npos) << o.out;
  // Of those no slip explains, the farthest outside first.
  EXPECT_LT(far, o.out.find("North Sea (record ")) << o.out;
  EXPECT_GT(far, std::max({sign, minutes, point})) << o.out;
  EXPECT_FALSE(contains(o.out, "Lampedusa (record")) << o.out;
  EXPECT_FALSE(contains(o.out, "Noronha (record")) << o.out;
}

// Many locations of different names at one point: each is paired with the
// first of them, once (not every pair), and the count says so; the work
// grows with their number, not its square. Of more repeats than the
// examples kept, "... and N more" counts them all.
TEST(ContentCheckTest, ManyLocationsAtOnePointArePairedWithTheFirst) {
  TempDir dir;
  std::string csv = "name,state,country,continent,level,latitude,longitude\n";
  for (int i = 0; i < 1200; ++i) csv += "Twin,BE,Switzerland,Europe,1,46.5,7.5\n";
  for (int i = 0; i < 3000; ++i)
    csv += "P" + std::to_string(i) + ",ZH,Switzerland,Europe,1,47.4,8.5\n";
  writeFile(dir.file("f.csv"), csv);
  ASSERT_EQ(run(dir, {"--db", "f.bmt", "create", "f.csv", "--keep-duplicates"}).status, 0);
  Outcome o = run(dir, {"--db", "f.bmt", "check", "--content"});
  EXPECT_TRUE(contains(o.out, "FAULT  1199 locations repeat earlier ones exactly")) << o.out;
  EXPECT_TRUE(contains(o.out, "         ... and 1189 more\n")) << o.out;
  EXPECT_TRUE(contains(o.out, "note   2999 pairs of locations of different names lie within 10 m"))
      << o.out;
}

}  // namespace
