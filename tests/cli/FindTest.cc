// find and the filters as people type names: accents, case, script, several
// locations of one name, boxes across the 180th meridian.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/ToolRun.h"

namespace {

using tooltest::contains;
using tooltest::Outcome;
using tooltest::run;

const char kNames[] =
    "name,state,country,continent,level,latitude,longitude\n"
    "Zürich,Zürich,Switzerland,Europe,1,47.37,8.54\n"
    "Zürich Airport,Zürich,Switzerland,Europe,2,47.46,8.55\n"
    "Tromsø,Troms,Norway,Europe,1,69.65,18.96\n"
    "Łódź,Łódzkie,Poland,Europe,1,51.76,19.46\n"
    "Köln,Nordrhein-Westfalen,Germany,Europe,1,50.94,6.96\n"
    "Helsinki-Vantaa,Uusimaa,Finland,Europe,1,60.32,24.96\n"
    "Москва,Москва,Russia,Europe,1,55.76,37.62\n"
    "北京,北京,China,Asia,1,39.90,116.40\n"
    "São Paulo,São Paulo,Brazil,South America,1,-23.55,-46.63\n"
    "Springfield,Illinois,United States,North America,1,39.80,-89.64\n"
    "Springfield,Illinois,United States,North America,2,41.00,-88.00\n"
    "Suva,Central,Fiji,Oceania,1,-18.14,178.44\n"
    "Apia,Upolu,Samoa,Oceania,1,-13.83,-171.76\n";

class FindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::writeFile(dir.file("n.csv"), kNames);
    ASSERT_EQ(run(dir, {"--db", "n.bmt", "create", "n.csv"}).status, 0);
  }
  Outcome tool(std::vector<std::string> args) {
    args.insert(args.begin(), {"--db", "n.bmt"});
    return run(dir, args);
  }
  // The name of the first hit of find in CSV.
  std::string best(const std::string& query) {
    Outcome o = tool({"find", query, "--format", "csv"});
    EXPECT_EQ(o.status, 0) << o.err;
    std::size_t line = o.out.find('\n');
    if (line == std::string::npos || line + 1 >= o.out.size()) return "";
    std::string first = o.out.substr(line + 1, o.out.find('\n', line + 1) - line - 1);
    return first;
  }
  testsupport::TempDir dir;
};

TEST_F(FindTest, FindsNamesAsTypedRankedBestFirst) {
  const std::pair<const char*, const char*> cases[] = {
      {"zurich", "exact,name,"},
      {"ZÜRICH", "exact,name,"},
      {"tromso", "Tromsø"},
      {"LODZ", "Łódź"},
      {"koln", "Köln"},
      {"moskva", "Москва"},
      {"beijing", "北京"},
      {"sao paulo", "São Paulo"},
      {"vantaa", "word,name,"},
      {"helsinky", "near 1,name,"},
      {"switzerland", "country,"},
      {"zurich airp", "prefix,name"},
  };
  for (const auto& c : cases) EXPECT_TRUE(contains(best(c.first), c.second)) << c.first;
  Outcome o = tool({"find", "zurich"});
  ASSERT_EQ(o.status, 0);
  // The exact name first, then its prefix, each saying where it matched.
  EXPECT_LT(o.out.find("Zürich      "), o.out.find("Zürich Airport")) << o.out;
  EXPECT_TRUE(contains(o.out, "2 matches, best first.")) << o.out;
  EXPECT_EQ(tool({"find", "zzzz"}).out, "Nothing matches \"zzzz\".\n");
}

TEST_F(FindTest, FiltersIgnoreAccentsAndSelectEveryLocationOfAName) {
  Outcome o = tool({"list", "--name", "ZURICH*", "--state", "zurich"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "2 locations.")) << o.out;
  o = tool({"export", "--name", "springfield", "--format", "csv"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "Springfield,Illinois,United States,North America,1,"));
  EXPECT_TRUE(contains(o.out, "Springfield,Illinois,United States,North America,2,"));
}

TEST_F(FindTest, ABoxWhoseWestLiesEastOfItsEastWrapsAcross180) {
  Outcome o = tool({"list", "--bbox", "-20,170,20,-170"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "Suva")) << o.out;
  EXPECT_TRUE(contains(o.out, "Apia")) << o.out;
  EXPECT_TRUE(contains(o.out, "2 locations.")) << o.out;
  // A selection file has no such box.
  o = tool({"selection", "new", "s.sel", "--bbox", "-20,170,20,-170"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "across the 180th meridian")) << o.err;
}

}  // namespace
