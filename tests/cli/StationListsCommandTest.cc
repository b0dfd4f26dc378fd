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
  EXPECT_TRUE(contains(
      o.err, "line 3, column \"country\": \"XX\" is no GHCN-Daily or FIPS 10-4 country code"))
      << o.err;
  o = run(dir, {"--db", "s.bmt", "import", "ghcnd-stations.txt", "--skip-bad"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "New: 2")) << o.out;
  o = run(dir, {"--db", "s.bmt", "list", "--country", "switzerland", "--format", "csv", "--columns",
                "continent,country,name,level"});
  EXPECT_EQ(o.out, "continent,country,name,level\nEurope,Switzerland,ZURICH/KLOTEN,1\n");
  EXPECT_EQ(run(dir, {"--db", "s.bmt", "check"}).status, 0);
}

// GHCN-Daily names countries by its own codes (ghcnd-countries.txt), of
// which the United Arab Emirates, the Falklands and Vietnam differ from
// older FIPS 10-4 tables; US states and Canadian provinces by theirs.
TEST(StationListsCommandTest, GhcndAndIsdCountriesResolveByGhcnsOwnCodes) {
  TempDir dir;
  writeFile(
      dir.file("ghcnd-stations.txt"),
      "AE000041196  25.3330   55.5170   34.0    SHARJAH INTER. AIRP            GSN     41196\n"
      "FK000088883 -51.8170  -58.4500   51.0    MOUNT PLEASANT                         88883\n"
      "VM000048900  10.8170  106.6670    5.0    TAN SON HOA                            48900\n"
      "USW00094728  40.7789  -73.9692   39.6 NY NEW YORK CNTRL PARK                HCN 72506\n");
  Outcome o = run(dir, {"--db", "g.bmt", "create", "ghcnd-stations.txt"});
  ASSERT_EQ(o.status, 0) << o.err;
  const std::vector<std::string> columns = {"list", "--format", "csv", "--columns",
                                            "continent,country,state,name"};
  std::vector<std::string> list = {"--db", "g.bmt"};
  list.insert(list.end(), columns.begin(), columns.end());
  o = run(dir, list);
  EXPECT_TRUE(contains(o.out, "Asia,United Arab Emirates,,SHARJAH INTER. AIRP\n")) << o.out;
  EXPECT_TRUE(contains(o.out, "South America,Falkland Islands,,MOUNT PLEASANT\n")) << o.out;
  EXPECT_TRUE(contains(o.out, "Asia,Vietnam,,TAN SON HOA\n")) << o.out;
  EXPECT_TRUE(contains(o.out, "North America,United States,New York,NEW YORK CNTRL PARK\n"))
      << o.out;

  writeFile(dir.file("isd-history.csv"),
            "\"USAF\",\"WBAN\",\"STATION NAME\",\"CTRY\",\"STATE\",\"ICAO\",\"LAT\",\"LON\","
            "\"ELEV(M)\",\"BEGIN\",\"END\"\n"
            "\"412170\",\"99999\",\"ABU DHABI INTL\",\"AE\",\"\",\"OMAA\",\"+24.433\","
            "\"+054.651\",\"+0026.8\",\"19820301\",\"20251231\"\n"
            "\"889890\",\"99999\",\"MOUNT PLEASANT\",\"FK\",\"\",\"EGYP\",\"-51.823\","
            "\"-058.447\",\"+0074.0\",\"19850101\",\"20251231\"\n"
            "\"489000\",\"99999\",\"TAN SON HOA\",\"VM\",\"\",\"VVTS\",\"+10.817\","
            "\"+106.667\",\"+0010.0\",\"19730101\",\"20251231\"\n");
  o = run(dir, {"--db", "i.bmt", "create", "isd-history.csv"});
  ASSERT_EQ(o.status, 0) << o.err;
  list[1] = "i.bmt";
  o = run(dir, list);
  EXPECT_TRUE(contains(o.out, "Asia,United Arab Emirates,,ABU DHABI INTL\n")) << o.out;
  EXPECT_TRUE(contains(o.out, "South America,Falkland Islands,,MOUNT PLEASANT\n")) << o.out;
  EXPECT_TRUE(contains(o.out, "Asia,Vietnam,,TAN SON HOA\n")) << o.out;
}

}  // namespace
