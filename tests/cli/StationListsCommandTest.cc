// Published station lists read by create and import, as users run them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/ToolRun.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::TempDir;
using testsupport::writeFile;
using tooltest::contains;
using tooltest::Outcome;
using tooltest::run;

// GeoNames' cities of 15,000 people or more, as Debian ships them
// (libtimezonemap-data, which scripts/install-deps.sh installs).
const char kCities[] = "/usr/share/libtimezonemap/ui/cities15000.txt";

TEST(StationListsCommandTest, CreatesADatabaseFromGeoNamesCities) {
  TempDir dir;
  Outcome o = run(dir, {"--db", "c.bmt", "create", kCities});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "in 7 continents")) << o.out;
  o = run(dir, {"--db", "c.bmt", "list", "--name", "zurich", "--format", "csv", "--columns",
                "continent,country,state,name,level"});
  EXPECT_EQ(o.out, "continent,country,state,name,level\nEurope,Switzerland,Zurich,Zürich,2\n");
  o = run(dir, {"--db", "c.bmt", "find", "SAO PAULO", "--limit", "1", "--format", "csv"});
  EXPECT_TRUE(contains(o.out, "exact,name,")) << o.out;
  EXPECT_TRUE(contains(o.out, ",South America,Brazil,São Paulo,São Paulo,1,")) << o.out;
  o = run(dir, {"--db", "c.bmt", "list", "--country", "Japan", "--name", "tokyo"});
  EXPECT_TRUE(contains(o.out, "Tokyo")) << o.out;
  EXPECT_EQ(run(dir, {"--db", "c.bmt", "check"}).status, 0);
}

TEST(StationListsCommandTest, ImportsAListAndNamesCountriesByTheirCodes) {
  TempDir dir;
  writeFile(dir.file("s.csv"), tooltest::kSample);
  ASSERT_EQ(run(dir, {"--db", "s.bmt", "create", "s.csv"}).status, 0);
  writeFile(
      dir.file("ghcnd-stations.txt"),
      "SZ000006717  47.4800    8.5331  426.0    ZURICH/KLOTEN                  GSN     06670\n"
      "NOE00100686  69.6500   18.9333  100.0    TROMSO                                 01026\n"
      "XX000000001  10.0000   10.0000  100.0    NOWHERE                                     \n");
  Outcome o = run(dir, {"--db", "s.bmt", "import", "ghcnd-stations.txt"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "line 3, column \"country\": \"XX\" is no FIPS 10-4 country code"))
      << o.err;
  o = run(dir, {"--db", "s.bmt", "import", "ghcnd-stations.txt", "--skip-bad"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "New: 2")) << o.out;
  o = run(dir, {"--db", "s.bmt", "list", "--country", "switzerland", "--format", "csv", "--columns",
                "continent,country,name,level"});
  EXPECT_EQ(o.out, "continent,country,name,level\nEurope,Switzerland,ZURICH/KLOTEN,1\n");
  EXPECT_EQ(run(dir, {"--db", "s.bmt", "check"}).status, 0);
}

}  // namespace
