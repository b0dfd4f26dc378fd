// info, tree, list, show and export on a small database, as a user runs
// them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/ToolRun.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;
using tooltest::contains;
using tooltest::Outcome;
using tooltest::run;

class ReadingTest : public tooltest::SampleDatabaseTest {};

TEST_F(ReadingTest, InfoCountsAndTellsTheDirectoryFileState) {
  Outcome o = tool({"info"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "Database:       s.bmt (from --db)\n"
            "Data file:      s.bmt (2979 bytes, 9 records)\n"
            "Directory file: s.dir (" +
                std::to_string(readFile(dir.file("s.dir")).size()) +
                " bytes, fresh)\n"
                "Locations:      9\n"
                "Continents:     3\n"
                "Countries:      7\n"
                "States:         8\n");

  std::remove(dir.file("s.dir").c_str());
  o = tool({"info"});
  EXPECT_TRUE(contains(o.out, "s.dir (missing; rebuilt from the records when opened)")) << o.out;

  writeFile(dir.file("s.dir"), "not a directory\n");
  o = tool({"info"});
  EXPECT_TRUE(contains(o.out, "damaged")) << o.out;
  // A reading command leaves even a damaged file as it is.
  EXPECT_EQ(readFile(dir.file("s.dir")), "not a directory\n");

  o = run(dir, {"--db", "nothing.bmt", "info"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "There is no database at \"nothing.bmt\"")) << o.err;
  EXPECT_FALSE(testsupport::fileExists(dir.file("nothing.bmt")));
}

TEST_F(ReadingTest, TreeShowsCountsToTheDepthAsked) {
  Outcome o = tool({"tree", "--depth", "2"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "s.bmt (9)\n"
            "  Africa (2)\n"
            "    Egypt (1)\n"
            "    Kenya (1)\n"
            "  Europe (5)\n"
            "    Finland (1)\n"
            "    Norway (3)\n"
            "    Sweden (1)\n"
            "  South America (2)\n"
            "    Ecuador (1)\n"
            "    Peru (1)\n");
  o = tool({"tree", "--depth", "4"});
  EXPECT_TRUE(contains(o.out, "      Vestland (2)\n        Bergen  [record 4, level 2]\n"))
      << o.out;
}

TEST_F(ReadingTest, ListFiltersThroughASelection) {
  Outcome o = tool({"list", "--continent", "europe", "--bbox", "60,-180,90,180"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "INDEX  CONTINENT  COUNTRY  STATE     NAME      LEVEL  LATITUDE  LONGITUDE\n"
            "    2  Europe     Finland  Uusimaa   Helsinki      1   60.1699    24.9384\n"
            "    4  Europe     Norway   Vestland  Bergen        2   60.3913     5.3221\n"
            "    5  Europe     Norway   Vestland  Voss          3   60.6280     6.4180\n"
            "3 locations.\n");
  o = tool({"list", "--name", "*O*", "--level-limit", "1"});
  EXPECT_TRUE(contains(o.out, "Cairo")) << o.out;
  EXPECT_TRUE(contains(o.out, "Oslo")) << o.out;
  EXPECT_TRUE(contains(o.out, "Nairobi")) << o.out;
  EXPECT_FALSE(contains(o.out, "Voss")) << o.out;  // level 3
  EXPECT_TRUE(contains(o.out, "3 locations.")) << o.out;
  o = tool({"list", "--country", "Atlantis"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "No location is selected.\n");
  o = tool({"list"});
  EXPECT_TRUE(contains(o.out, "9 locations.")) << o.out;
}

// Wide characters take two columns, combining accents none: the columns
// start at the same place on the screen in every line.
TEST(TableTest, ColumnsLineUpWithWideAndCombiningCharacters) {
  TempDir dir;
  std::vector<std::string> rows = {"\xE6\x9D\xB1\xE4\xBA\xAC,Tokyo,Japan,Asia,1,35.68,139.69",
                                   "Cafe\xCC\x81,Paris,France,Asia,1,48.85,2.35",
                                   "Osaka-shi,Osaka,Japan,Asia,1,34.69,135.5"};
  for (int i = 0; i < 8; ++i) rows.push_back("N" + std::to_string(i) + ",S,C,Europe,1,0,0");
  writeFile(dir.file("s.csv"), tooltest::stationList(rows));
  ASSERT_EQ(run(dir, {"--db", "s.bmt", "create", "s.csv"}).status, 0);

  Outcome o = run(dir, {"--db", "s.bmt", "list", "--continent", "Asia"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "INDEX  CONTINENT  COUNTRY  STATE  NAME       LEVEL  LATITUDE  LONGITUDE\n"
            "    0  Asia       France   Paris  Cafe\xCC\x81           1   48.8500     2.3500\n"
            "    1  Asia       Japan    Osaka  Osaka-shi      1   34.6900   135.5000\n"
            "    2  Asia       Japan    Tokyo  \xE6\x9D\xB1\xE4\xBA\xAC           1   35.6800   "
            "139.6900\n"
            "3 locations.\n");

  o = run(dir, {"--db", "s.bmt", "delete", "--dry-run", "Europe"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "\n   9  Europe/C/S/N6\n  10  Europe/C/S/N7\n")) << o.out;
}

TEST_F(ReadingTest, ShowGivesEveryField) {
  Outcome o = tool({"show", "EUROPE/norway/Oslo/oslo"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "Record 3\n  name       Oslo\n  state      Oslo\n")) << o.out;
  EXPECT_TRUE(contains(o.out, "  latitude   59.9139\n")) << o.out;
  EXPECT_TRUE(contains(o.out, "  auxValue   3\n")) << o.out;
  EXPECT_TRUE(contains(o.out, "  A          -4.3  0  0")) << o.out;
  EXPECT_EQ(tool({"show", "3"}).out, o.out);

  o = tool({"show", "9"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "There is no record 9: the data file holds 9 records")) << o.err;
  o = tool({"show", "Europe/Norway/Oslo/Bergen"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "No location \"Europe/Norway/Oslo/Bergen\"")) << o.err;
}

TEST_F(ReadingTest, JsonExportParsesBackWithEveryField) {
  Outcome o = tool({"export", "--format", "json", "--country", "Norway"});
  ASSERT_EQ(o.status, 0) << o.err;
  nlohmann::json parsed = nlohmann::json::parse(o.out);
  ASSERT_EQ(parsed.size(), 3u);
  const nlohmann::json& oslo = parsed[0];
  EXPECT_EQ(oslo["index"], 3);
  EXPECT_EQ(oslo["name"], "Oslo");
  EXPECT_EQ(oslo["continent"], "Europe");
  EXPECT_EQ(oslo["level"], 1);
  EXPECT_EQ(oslo["latitude"].get<double>(), 59.9139);
  EXPECT_EQ(oslo["auxValue"], 3);
  ASSERT_EQ(oslo["seriesA"].size(), 12u);
  EXPECT_EQ(oslo["seriesA"][0].get<double>(), -4.3);
  EXPECT_EQ(oslo["seriesC"].size(), 12u);
  EXPECT_EQ(oslo["seriesE"].size(), 12u);

  o = tool({"export", "--format", "json", "--country", "Atlantis"});
  EXPECT_EQ(nlohmann::json::parse(o.out), nlohmann::json::array());
}

TEST_F(ReadingTest, CsvExportMakesTheSameDatabaseAgain) {
  Outcome o = tool({"export", "--output", "copy.csv"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "");
  // "-" is standard output, not a file of that name.
  EXPECT_EQ(tool({"export", "--output", "-"}).out, readFile(dir.file("copy.csv")));
  EXPECT_FALSE(testsupport::fileExists(dir.file("-")));
  ASSERT_EQ(run(dir, {"--db", "copy.bmt", "create", "copy.csv"}).status, 0);
  EXPECT_EQ(readFile(dir.file("copy.bmt")), readFile(dir.file("s.bmt")));
}

}  // namespace
