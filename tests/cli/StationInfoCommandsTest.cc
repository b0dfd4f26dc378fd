// Station information through the tool: every edit keeps each location's
// identifiers, look-ups by identifier, the filters and columns, and check.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/ToolRun.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;
using tooltest::contains;
using tooltest::expectGroupedDatabase;
using tooltest::Outcome;
using tooltest::run;

const char kStations[] =
    "name,state,country,continent,latitude,longitude,wmo,icao,elevation,timezone,active_from,"
    "active_to\n"
    "Tromso,Troms,Norway,Europe,69.65,18.96,01026,ENTC,10,Europe/Oslo,1920-01-01,\n"
    "Bergen,Vestland,Norway,Europe,60.39,5.32,01317,ENBR,12,Europe/Oslo,,1990-12-31\n"
    "Lund,Skane,Sweden,Europe,55.70,13.19,,,,,,\n"
    "Nairobi,Nairobi,Kenya,Africa,-1.29,36.82,63741,HKNA,1624,Africa/Nairobi,,\n";

class StationInfoCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFile(dir.file("s.csv"), kStations);
    ASSERT_EQ(tool({"create", "s.csv"}).status, 0);
  }
  Outcome tool(std::vector<std::string> args) {
    args.insert(args.begin(), {"--db", "s.bmt"});
    return run(dir, args);
  }
  // "name,ids" of every location, in walk order, as list writes them.
  std::string idsByName() { return tool({"list", "--columns", "name,ids", "--format", "csv"}).out; }
  void expectCheckClean() {
    Outcome o = tool({"check"});
    EXPECT_EQ(o.status, 0) << o.out;
    EXPECT_TRUE(contains(o.out, "each fitting its record")) << o.out;
  }

  TempDir dir;
};

TEST_F(StationInfoCommandsTest, EveryEditKeepsEveryIdentifier) {
  const std::string all =
      "name,ids\nNairobi,wmo:63741 icao:HKNA\nTromso,wmo:01026 icao:ENTC\n"
      "Bergen,wmo:01317 icao:ENBR\nLund,\n";
  EXPECT_EQ(idsByName(), all);
  ASSERT_EQ(tool({"add", "--name", "Abisko", "--state", "Norrbotten", "--country", "Sweden",
                  "--continent", "Europe", "--latitude", "68.36", "--longitude", "18.82",
                  "--add-id", "wmo:02022"})
                .status,
            0);
  ASSERT_EQ(tool({"compact"}).status, 0);
  ASSERT_EQ(tool({"rename", "Europe/Norway", "Norge"}).status, 0);
  ASSERT_EQ(tool({"set", "icao:ENBR", "--latitude", "60.38"}).status, 0);
  ASSERT_EQ(tool({"set", "--country", "Sweden", "--set", "level=2"}).status, 0);
  // Import a second database, which adds an identifier to an equal
  // location.
  writeFile(dir.file("o.csv"),
            "name,state,country,continent,latitude,longitude,iata\n"
            "Tromso,Troms,Norge,Europe,69.65,18.96,TOS\n");
  ASSERT_EQ(run(dir, {"--db", "o.bmt", "create", "o.csv"}).status, 0);
  ASSERT_EQ(tool({"import", "o.bmt"}).status, 0);
  EXPECT_EQ(idsByName(),
            "name,ids\nNairobi,wmo:63741 icao:HKNA\nTromso,wmo:01026 icao:ENTC iata:TOS\n"
            "Bergen,wmo:01317 icao:ENBR\nAbisko,wmo:02022\nLund,\n");
  expectGroupedDatabase(dir.file("s.bmt"));
  expectCheckClean();
  // The export reads back with create, every identifier kept.
  Outcome exported = tool({"export", "--output", "e.csv"});
  ASSERT_EQ(exported.status, 0) << exported.err;
  ASSERT_EQ(run(dir, {"--db", "e.bmt", "create", "e.csv"}).status, 0);
  EXPECT_EQ(run(dir, {"--db", "e.bmt", "list", "--columns", "name,ids", "--format", "csv"}).out,
            idsByName());
  ASSERT_EQ(tool({"delete", "wmo:02022"}).status, 0);
  EXPECT_FALSE(contains(idsByName(), "Abisko"));
  expectCheckClean();
}

TEST_F(StationInfoCommandsTest, LookUpsByIdentifierFiltersAndColumns) {
  Outcome o = tool({"show", "WMO:01026"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "Tromso")) << o.out;
  EXPECT_TRUE(contains(o.out, "elevation  10")) << o.out;
  EXPECT_EQ(tool({"show", "wmo:99999"}).status, 1);
  o = tool({"find", "ENTC", "--format", "csv"});
  EXPECT_TRUE(contains(o.out, "\nexact,identifier,")) << o.out;
  // find applies the station file's filters too.
  o = tool({"find", "bergen", "--active", "2000-01-01", "--format", "csv"});
  EXPECT_FALSE(contains(o.out, "Bergen")) << o.out;
  o = tool({"find", "o", "--id", "wmo:01026", "--format", "csv"});
  EXPECT_TRUE(contains(o.out, "Tromso") && !contains(o.out, "Bergen")) << o.out;
  o = tool({"list", "--active", "2000-01-01", "--columns", "name", "--format", "csv"});
  EXPECT_EQ(o.out, "name\nNairobi\nTromso\nLund\n");
  o = tool({"list", "--id", "icao:HKNA", "--columns", "name,wmo,elevation,timezone", "--format",
            "json"});
  EXPECT_EQ(o.out,
            "[\n  {\"name\":\"Nairobi\",\"wmo\":\"63741\",\"elevation\":1624.0,"
            "\"timezone\":\"Africa/Nairobi\"}\n]\n");
  o = tool({"nearest", "60", "10", "-k", "1", "--active", "1995-01-01", "--format", "json"});
  EXPECT_FALSE(contains(o.out, "Bergen")) << o.out;
  o = tool({"set", "icao:ENTC", "--elevation", "", "--active-to", "2030-01-01"});
  ASSERT_EQ(o.status, 0) << o.err;
  o = tool({"list", "--id", "wmo:01026", "--columns", "elevation,active_to", "--format", "csv"});
  EXPECT_EQ(o.out, "elevation,active_to\n,2030-01-01\n");
}

TEST_F(StationInfoCommandsTest, CheckNamesAStationFileThatMissedAChangeAndCompactRepairs) {
  // Another program swaps the first two records, knowing nothing of the
  // station file.
  std::string bytes = readFile(dir.file("s.bmt"));
  writeFile(dir.file("s.bmt"), bytes.substr(331, 331) + bytes.substr(0, 331) + bytes.substr(662));
  Outcome o = tool({"check"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.out, "\"metdb compact\" moves it")) << o.out;
  ASSERT_EQ(tool({"compact"}).status, 0);
  expectCheckClean();
  EXPECT_TRUE(contains(tool({"show", "icao:HKNA"}).out, "Nairobi"));
}

TEST_F(StationInfoCommandsTest, ContentCheckFindsSharedAndMalformedIdentifiers) {
  writeFile(dir.file("o.csv"),
            "name,state,country,continent,latitude,longitude,ids,elevation\n"
            "Kiruna,Norrbotten,Sweden,Europe,67.85,20.22,wmo:01026 icao:ESN,9000\n");
  Outcome o = tool({"import", "o.csv"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.err, "identifier is held by two locations")) << o.err;
  o = tool({"check", "--content"});
  EXPECT_TRUE(contains(o.out, "icao:ESN is no ICAO code of four letters or digits")) << o.out;
  EXPECT_TRUE(contains(o.out, "elevation 9000 m")) << o.out;
}

}  // namespace

TEST_F(StationInfoCommandsTest, ZonesComeFromPositionsAndCheckHoldsThemToTheCountry) {
  writeFile(dir.file("z.csv"),
            "name,state,country,continent,latitude,longitude,timezone\n"
            "Lost,Oslo,Norway,Europe,0,0,\n"
            "Oulu,Pohjois-Pohjanmaa,Finland,Europe,65.01,25.47,Asia/Tokyo\n"
            "Moncao,Viana do Castelo,Portugal,Europe,42.07892,-8.48076,Europe/Madrid\n");
  ASSERT_EQ(tool({"import", "z.csv"}).status, 0);
  // Lund's list gave no zone, and gets its position's; a position at 0, 0
  // is a lost one, and gets none.
  EXPECT_EQ(tool({"list", "--name", "L*", "--columns", "name,timezone", "--format", "csv"}).out,
            "name,timezone\nLost,\nLund,Europe/Stockholm\n");
  Outcome o = tool({"check", "--content"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.out, "FAULT  1 location has a time zone that is not its country's\n"))
      << o.out;
  EXPECT_TRUE(contains(o.out, "Asia/Tokyo is no zone of Finland (its zone: Europe/Helsinki)"))
      << o.out;
  // Moncao lies where the boundaries draw Spain's zone: near a border, a note.
  EXPECT_TRUE(contains(o.out, "note   1 location near a border has the time zone of its position"))
      << o.out;
  EXPECT_TRUE(contains(o.out, "Europe/Madrid is no zone of Portugal")) << o.out;
  // add fills it as create does.
  ASSERT_EQ(tool({"add", "--name", "Kiruna", "--state", "Norrbotten", "--country", "Sweden",
                  "--continent", "Europe", "--latitude", "67.85", "--longitude", "20.22"})
                .status,
            0);
  EXPECT_EQ(tool({"list", "--name", "Kiruna", "--columns", "name,timezone", "--format", "csv"}).out,
            "name,timezone\nKiruna,Europe/Stockholm\n");
  // A location that moves to another country takes its new place's zone;
  // one a list gave stays.
  ASSERT_EQ(tool({"set", "Europe/Sweden/Norrbotten/Kiruna", "--country", "Finland"}).status, 0);
  ASSERT_EQ(tool({"set", "Europe/Finland/Pohjois-Pohjanmaa/Oulu", "--latitude", "65.2"}).status, 0);
  EXPECT_EQ(
      tool({"list", "--country", "Finland", "--columns", "name,timezone", "--format", "csv"}).out,
      "name,timezone\nKiruna,Europe/Helsinki\nOulu,Asia/Tokyo\n");
}
