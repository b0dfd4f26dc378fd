// list in CSV and JSON, in chosen columns, and sorted.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/cli/ToolRun.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::writeFile;
using tooltest::contains;
using tooltest::Outcome;
using tooltest::run;

class ListFormatsTest : public tooltest::SampleDatabaseTest {};

TEST_F(ListFormatsTest, CsvGivesTheChosenColumnsAndNothingElse) {
  Outcome o = tool({"list", "--country", "Norway", "--format", "csv", "--columns",
                    "name, LATITUDE,index,seriesA1"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "name,latitude,index,seriesA1\n"
            "Oslo,59.9139,3,-4.3\n"
            "Bergen,60.3913,4,1.5\n"
            "Voss,60.628,5,0\n");
  o = tool({"list", "--country", "Atlantis", "--format", "csv"});
  EXPECT_EQ(o.out, "index,continent,country,state,name,level,latitude,longitude\n");
}

TEST_F(ListFormatsTest, JsonGivesOneObjectPerLocationWithTheColumnsInOrder) {
  Outcome o =
      tool({"list", "--country", "Norway", "--format", "json", "--columns", "name,auxValue,index"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "[\n"
            "  {\"name\":\"Oslo\",\"auxValue\":3,\"index\":3},\n"
            "  {\"name\":\"Bergen\",\"auxValue\":0,\"index\":4},\n"
            "  {\"name\":\"Voss\",\"auxValue\":0,\"index\":5}\n"
            "]\n");
  nlohmann::json all = nlohmann::json::parse(tool({"list", "--format", "json"}).out);
  ASSERT_EQ(all.size(), 9u);
  EXPECT_EQ(all[0]["latitude"].get<double>(), 30.0444);
  EXPECT_EQ(tool({"list", "--country", "Atlantis", "--format", "json"}).out, "[]\n");
}

TEST_F(ListFormatsTest, TableShowsTheChosenColumns) {
  Outcome o = tool({"list", "--country", "Norway", "--columns", "name,level,seriesA1"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "NAME    LEVEL  SERIESA1\n"
            "Oslo        1      -4.3\n"
            "Bergen      2       1.5\n"
            "Voss        3         0\n"
            "3 locations.\n");
}

TEST_F(ListFormatsTest, AnUnknownColumnIsWrongUsageNamingTheColumns) {
  Outcome o = tool({"list", "--columns", "name,height"});
  EXPECT_EQ(o.status, 2);
  EXPECT_TRUE(contains(o.err,
                       "--columns: \"height\" is no column; the columns are index, name, state, "
                       "country, continent, level, latitude, longitude, auxValue, "
                       "seriesA1..seriesA12, seriesB1..seriesB12"))
      << o.err;
}

TEST_F(ListFormatsTest, SortsByNumberAscendingOrDescendingWithTiesInWalkOrder) {
  Outcome o = tool({"list", "--sort", "latitude", "--format", "csv", "--columns", "name"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "name\nLima\nNairobi\nQuito\nCairo\nLund\nOslo\nHelsinki\nBergen\nVoss\n");
  o = tool({"list", "--sort", "level", "--reverse", "--format", "csv", "--columns", "name,level"});
  EXPECT_EQ(o.out,
            "name,level\nVoss,3\nBergen,2\nLund,2\nQuito,2\n"
            "Cairo,1\nNairobi,1\nHelsinki,1\nOslo,1\nLima,1\n");
  // A saved selection is sorted the same way.
  ASSERT_EQ(tool({"selection", "new", "eu.sel", "--continent", "Europe"}).status, 0);
  o = tool({"list", "--selection", "eu.sel", "--sort", "index", "--reverse"});
  EXPECT_TRUE(contains(o.out, "    6  Europe     Sweden   Skane     Lund")) << o.out;
  EXPECT_LT(o.out.find("Lund"), o.out.find("Helsinki")) << o.out;
  EXPECT_TRUE(contains(o.out, "5 locations.")) << o.out;
}

TEST(ListSortTest, SortsNamesIgnoringCaseAndAccents) {
  testsupport::TempDir dir;
  writeFile(dir.file("ch.csv"),
            tooltest::stationList({"Zürich,Zürich,Switzerland,Europe,1,47.37,8.54",
                                   "zug,Zug,Switzerland,Europe,1,47.17,8.52",
                                   "Ölten,Solothurn,Switzerland,Europe,1,47.35,7.9",
                                   "Aarau,Aargau,Switzerland,Europe,1,47.39,8.04"}));
  ASSERT_EQ(run(dir, {"--db", "ch.bmt", "create", "ch.csv"}).status, 0);
  Outcome o = run(
      dir, {"--db", "ch.bmt", "list", "--sort", "name", "--format", "csv", "--columns", "name"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "name\nAarau\nÖlten\nzug\nZürich\n");
}

}  // namespace
