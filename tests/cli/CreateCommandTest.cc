// The create command as a user runs it: the database it writes, the faults
// it reports, and what it leaves alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/ToolRun.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::fileExists;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;
using tooltest::contains;
using tooltest::Outcome;
using tooltest::readRecords;
using tooltest::run;
using Files = std::vector<std::string>;

TEST(CreateCommandTest, WritesTheStationsGroupedWithADirectoryFile) {
  TempDir dir;
  writeFile(dir.file("s.csv"), tooltest::kSample);
  Outcome o = run(dir, {"--db", "s.bmt", "create", "s.csv"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "Created s.bmt: 9 locations in 3 continents, 7 countries and 8 states.\n");
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(tooltest::userFiles(dir), (Files{"s.bmt", "s.csv", "s.dir", "s.stn"}));
  EXPECT_EQ(tooltest::tmpFiles(dir), Files{});

  std::vector<LocationData> records = readRecords(dir.file("s.bmt"));
  ASSERT_EQ(records.size(), 9u);
  // Hierarchy order, not the list's: Africa first; Norway's states Oslo,
  // then Vestland with Bergen and Voss by name.
  EXPECT_STREQ(records[0].continent, "Africa");
  EXPECT_STREQ(records[0].name, "Cairo");
  EXPECT_STREQ(records[3].name, "Oslo");
  EXPECT_EQ(tooltest::auxValue(records[3]), 3);
  EXPECT_STREQ(records[4].name, "Bergen");
  EXPECT_STREQ(records[5].name, "Voss");
  EXPECT_STREQ(records[8].continent, "South America");
  EXPECT_STREQ(records[8].name, "Lima");
  tooltest::expectGroupedDatabase(dir.file("s.bmt"));
}

TEST(CreateCommandTest, ReadsQuotesCrLfAndCutsALongName) {
  TempDir dir;
  writeFile(dir.file("s.csv"),
            "name,state,country,continent,level,latitude,longitude\r\n"
            "\"Washington, D.C.\",\"District \"\"DC\"\"\",United States,North America,1,38.9,"
            "-77.04\r\n"
            "Llanfairpwllgwyngyllgogerychwyrndrobwllllantysiliogogogoch,Wales,United Kingdom,"
            "Europe,5,53.22,-4.2\r\n"
            "Sanktmoritzerseewegä,Zürich,Switzerland,Europe,2,47.37,8.54\r\n");
  Outcome o = run(dir, {"--db", "s.bmt", "create", "s.csv"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.err, "metdb: warning: s.csv, line 3, column \"name\": ")) << o.err;
  EXPECT_TRUE(contains(o.err, "cut to \"Llanfairpwllgwyngyll\"")) << o.err;
  // 20 bytes would end inside the two-byte "ä": the cut drops it whole.
  EXPECT_TRUE(contains(o.err, "line 4, column \"name\"")) << o.err;

  std::vector<LocationData> records = readRecords(dir.file("s.bmt"));
  ASSERT_EQ(records.size(), 3u);
  EXPECT_STREQ(records[0].name, "Sanktmoritzerseeweg");
  EXPECT_STREQ(records[1].name, "Llanfairpwllgwyngyll");
  EXPECT_STREQ(records[2].name, "Washington, D.C.");
  EXPECT_STREQ(records[2].state, "District \"DC\"");
}

TEST(CreateCommandTest, ABadRowStopsWithItsLineAndWritesNothing) {
  TempDir dir;
  writeFile(dir.file("s.csv"), tooltest::stationList({"Oslo,Oslo,Norway,Europe,1,59.9,10.7",
                                                      "Bad,X,Norway,Europe,1,95,10",
                                                      "Worse,X,Norway,Europe,300,50,10"}));
  Outcome o = run(dir, {"--db", "s.bmt", "create", "s.csv"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err,
            "metdb: s.csv, line 3, column \"latitude\": \"95\" is outside -90..90; nothing was "
            "written.\n");
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(tooltest::userFiles(dir), Files{"s.csv"});
  EXPECT_EQ(tooltest::tmpFiles(dir), Files{});

  // A row that lacks a column is as bad.
  writeFile(dir.file("short.csv"), tooltest::stationList({"Oslo,Oslo,Norway,Europe,1,59.9"}));
  o = run(dir, {"--db", "s.bmt", "create", "short.csv"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "short.csv, line 2, column \"longitude\"")) << o.err;
  EXPECT_FALSE(fileExists(dir.file("s.bmt")));
}

TEST(CreateCommandTest, SkipBadReportsEachSkippedRow) {
  TempDir dir;
  writeFile(dir.file("s.csv"),
            tooltest::stationList({"Oslo,Oslo,Norway,Europe,1,59.9,10.7",
                                   "Bad,X,Norway,Europe,1,95,10", "Worse,X,Norway,Europe,300,50,10",
                                   "Lund,Skane,Sweden,Europe,1,55.7,13.2"}));
  Outcome o = run(dir, {"--db", "s.bmt", "create", "s.csv", "--skip-bad"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.err, "warning: s.csv, line 3, column \"latitude\"")) << o.err;
  EXPECT_TRUE(contains(o.err, "warning: s.csv, line 4, column \"level\"")) << o.err;
  EXPECT_TRUE(contains(o.err, "the row is skipped.")) << o.err;
  EXPECT_TRUE(contains(o.out, "2 locations")) << o.out;
  EXPECT_TRUE(contains(o.out, "2 rows skipped")) << o.out;
  EXPECT_EQ(readRecords(dir.file("s.bmt")).size(), 2u);
}

TEST(CreateCommandTest, NeverOverwritesWithoutForce) {
  TempDir dir;
  writeFile(dir.file("s.csv"), tooltest::kSample);
  writeFile(dir.file("one.csv"), tooltest::stationList({"Oslo,Oslo,Norway,Europe,1,59.9,10.7"}));
  ASSERT_EQ(run(dir, {"--db", "s.bmt", "create", "s.csv"}).status, 0);
  std::string data = readFile(dir.file("s.bmt"));
  std::string directory = readFile(dir.file("s.dir"));

  Outcome o = run(dir, {"--db", "s.bmt", "create", "one.csv"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "\"s.bmt\" exists already; give --force")) << o.err;
  EXPECT_EQ(readFile(dir.file("s.bmt")), data);
  EXPECT_EQ(readFile(dir.file("s.dir")), directory);

  // A bad list with --force still leaves the old database alone.
  writeFile(dir.file("bad.csv"), tooltest::stationList({"Bad,X,Norway,Europe,1,95,10"}));
  EXPECT_EQ(run(dir, {"--db", "s.bmt", "create", "bad.csv", "--force"}).status, 1);
  EXPECT_EQ(readFile(dir.file("s.bmt")), data);

  o = run(dir, {"--db", "s.bmt", "create", "one.csv", "--force"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(readRecords(dir.file("s.bmt")).size(), 1u);
  tooltest::expectGroupedDatabase(dir.file("s.bmt"));
}

TEST(CreateCommandTest, RefusesADataFileThatWouldBeItsOwnDirectoryFile) {
  TempDir dir;
  writeFile(dir.file("s.csv"), tooltest::kSample);
  for (const char* name : {"s.dir", "s.dirty"}) {
    Outcome o = run(dir, {"--db", name, "create", "s.csv"});
    EXPECT_EQ(o.status, 1) << name;
    EXPECT_TRUE(contains(o.err, "would share its name with its directory file")) << o.err;
  }
  EXPECT_EQ(tooltest::userFiles(dir), Files{"s.csv"});
}

TEST(CreateCommandTest, AFullDiskLeavesNoFileBehind) {
  TempDir dir;
  writeFile(dir.file("s.csv"), testsupport::readFile(METDB_SOURCE_DIR "/data/stations.csv"));
  tooltest::RunOptions limited;
  limited.fileSizeLimit = 20000;  // the sample's data file needs about 100 kB
  Outcome o = run(dir, {"--db", "s.bmt", "create", "s.csv"}, limited);
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "nothing was written")) << o.err;
  EXPECT_EQ(tooltest::userFiles(dir), Files{"s.csv"});
}

TEST(CreateCommandTest, ConvertsAGivenCharacterSetAndRefusesTextThatIsNotUtf8) {
  TempDir dir;
  // Latin-1: "ü" is the one byte 0xFC.
  writeFile(dir.file("s.csv"),
            tooltest::stationList({"Oslo,Oslo,Norway,Europe,1,59.9,10.7",
                                   "Z\xFCrich,ZH,Switzerland,Europe,1,47.4,8.5"}));
  Outcome o = run(dir, {"--db", "s.bmt", "create", "s.csv"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err,
            "metdb: s.csv, line 3, column \"name\": the field is not UTF-8 (its byte 2 is 0xFC); "
            "give the file's character set with --encoding, such as --encoding latin1; nothing "
            "was written.\n");
  EXPECT_EQ(tooltest::userFiles(dir), Files{"s.csv"});

  o = run(dir, {"--db", "s.bmt", "create", "--encoding", "latin1", "s.csv"});
  ASSERT_EQ(o.status, 0) << o.err;
  std::vector<LocationData> records = readRecords(dir.file("s.bmt"));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_STREQ(records[1].name, "Z\xC3\xBCrich");

  o = run(dir, {"validate", "--encoding", "klingon", "s.csv"});
  EXPECT_EQ(o.status, 2);
  EXPECT_TRUE(contains(o.err, "--encoding: \"klingon\" names no character set that ICU knows"))
      << o.err;
}

TEST(CreateCommandTest, ADashReadsTheListFromStandardInput) {
  TempDir dir;
  writeFile(dir.file("in.csv"), tooltest::kSample);
  tooltest::RunOptions fromFile;
  fromFile.standardInput = dir.file("in.csv");
  Outcome o = run(dir, {"--db", "s.bmt", "create", "-"}, fromFile);
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(readRecords(dir.file("s.bmt")).size(), 9u);

  writeFile(dir.file("in.csv"), tooltest::stationList({"Bad,X,Norway,Europe,1,95,10"}));
  o = run(dir, {"validate", "-"}, fromFile);
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "metdb: standard input, line 2, column \"latitude\"")) << o.err;
  EXPECT_EQ(o.out, "standard input: 0 good rows, 1 faulty row, 0 warnings.\n");
}

TEST(CreateCommandTest, SemicolonsAreFoundAndTabsTaken) {
  TempDir dir;
  writeFile(dir.file("semi.csv"),
            "name;state;country;continent;latitude;longitude\n"
            "Oslo;Oslo;Norway;Europe;59.9;10.7\n"
            "\"Washington; D.C.\";DC;United States;North America;38.9;-77.0\n");
  Outcome o = run(dir, {"--db", "s.bmt", "create", "semi.csv"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_STREQ(readRecords(dir.file("s.bmt"))[1].name, "Washington; D.C.");

  writeFile(dir.file("tabs.tsv"),
            "name\tstate\tcountry\tcontinent\tlatitude\tlongitude\n"
            "Oslo, city\tOslo\tNorway\tEurope\t59.9\t10.7\n");
  o = run(dir, {"--db", "t.bmt", "create", "--delimiter", "tab", "tabs.tsv"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_STREQ(readRecords(dir.file("t.bmt"))[0].name, "Oslo, city");
}

TEST(CreateCommandTest, RepeatedRowsAreLeftOutUnlessKept) {
  TempDir dir;
  writeFile(dir.file("s.csv"), tooltest::stationList({"Oslo,Oslo,Norway,Europe,1,59.9,10.7",
                                                      "Lund,Skane,Sweden,Europe,1,55.7,13.2",
                                                      "oslo,Oslo,Norway,Europe,1,59.9,10.7"}));
  Outcome o = run(dir, {"--db", "s.bmt", "create", "s.csv"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.err,
            "metdb: warning: s.csv, line 4: this row repeats line 2 (the same name, state, "
            "country, continent, level, latitude and longitude) and is left out.\n");
  EXPECT_TRUE(contains(o.out, "2 locations")) << o.out;
  EXPECT_TRUE(contains(o.out, "; 1 repeated row left out.")) << o.out;
  EXPECT_EQ(readRecords(dir.file("s.bmt")).size(), 2u);

  o = run(dir, {"validate", "--repeats", "s.csv"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "line 4 repeats line 2\n");

  o = run(dir, {"--db", "s.bmt", "create", "s.csv", "--force", "--keep-duplicates"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(readRecords(dir.file("s.bmt")).size(), 3u);
}

TEST(CreateCommandTest, WorksOnTheConfiguredDatabaseWithoutDb) {
  TempDir dir;
  writeFile(dir.file("s.csv"), tooltest::kSample);
  // No ORVANE.INI beside the library: the data file is metdata.bmt in the
  // current directory.
  Outcome o = run(dir, {"create", "s.csv"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(fileExists(dir.file("metdata.bmt")));
  EXPECT_TRUE(fileExists(dir.file("metdata.dir")));
  o = run(dir, {"info"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "metdata.bmt (the default: metdata.bmt in the current directory)"))
      << o.out;
  EXPECT_TRUE(contains(o.out, "metdata.bmt (2979 bytes, 9 records)")) << o.out;
}

}  // namespace
