// list in CSV and JSON, and in chosen columns.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/cli/ToolRun.h"
#include "tests/support/TempDir.h"

namespace {

using tooltest::contains;
using tooltest::Outcome;

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

}  // namespace
