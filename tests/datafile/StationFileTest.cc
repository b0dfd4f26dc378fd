#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "datafile/BMTFile.h"
#include "datafile/InfoDevice.h"
#include "datafile/StationFile.h"
#include "tests/support/RecordingEnv.h"
#include "tests/support/Records.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::makeRecord;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

class QuietInfo : public InfoDevice {
 public:
  void finish() override {}
  void showText(const VELDstring&, int) override {}
  void showLocation(const VELDstring&, const VELDstring&, const VELDstring&,
                    const VELDstring&) override {}
  void showNumber(long, int) override {}
};

StationInfo infoWith(const std::string& id, double elevation = 12.5) {
  StationInfo info;
  info.addId(id);
  info.elevation = elevation;
  info.timeZone = "Europe/Oslo";
  info.activeFrom = "1950-01-01";
  info.source = "test line 1";
  return info;
}

// A database of three grouped records, Bergen, Voss and Lund, the first
// two with station information.
class StationFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<LocationData> records = {
        makeRecord("Europe", "Norway", "Hordaland", "Bergen", 1, 60.39f, 5.32f),
        makeRecord("Europe", "Norway", "Hordaland", "Voss", 1, 60.63f, 6.42f),
        makeRecord("Europe", "Sweden", "Skane", "Lund", 1, 55.70f, 13.19f)};
    writeFile(data, testsupport::bytesOf(records));
    BMTFile db(data.c_str());
    StationFile stations(db);
    stations.set(0, infoWith("wmo:01317"));
    stations.set(1, infoWith("wmo:01400", std::nan("")));
    ASSERT_TRUE(stations.save());
  }

  // The record index that id looks up to, -1 for none or several.
  long indexOf(BMTFile& db, const std::string& id) {
    StationFile stations(db);
    std::vector<long> found = stations.lookup(id);
    return found.size() == 1 ? found[0] : -1;
  }

  TempDir dir;
  std::string data = dir.file("st.bmt");
};

TEST_F(StationFileTest, SavedEntriesReadBackAndLookUp) {
  EXPECT_EQ(StationFile::nameFor(data), dir.file("st.stn"));
  BMTFile db(data.c_str());
  StationFile stations(db);
  ASSERT_TRUE(stations.exists());
  const StationInfo* bergen = stations.find(0);
  ASSERT_NE(bergen, nullptr);
  EXPECT_EQ(*bergen, infoWith("wmo:01317"));
  EXPECT_FALSE(stations.find(1)->hasElevation());
  EXPECT_EQ(stations.find(2), nullptr);
  EXPECT_EQ(indexOf(db, "WMO:01400"), 1);
  EXPECT_EQ(indexOf(db, "wmo:0140"), -1);
}

TEST_F(StationFileTest, CompactionCarriesEntriesPastAHostsDeleteAndAppend) {
  {
    BMTFile db(data.c_str());
    db.directory->first();  // Bergen
    db.directory->deleteEntry();
    LocationData added = makeRecord("Europe", "Norway", "Hordaland", "Odda", 1, 60.07f, 6.55f);
    long index = db.addLocationData(added);
    LocationData previous;
    db.directory->addOrderedEntry(added, previous, index);
    db.remakeDatabase();
  }
  BMTFile db(data.c_str());
  StationFile stations(db);
  // Odda 0, Voss 1, Lund 2: Bergen's entry went with it, Voss's moved.
  EXPECT_EQ(stations.entries().size(), 1u);
  EXPECT_EQ(indexOf(db, "wmo:01400"), 1);
  EXPECT_EQ(indexOf(db, "wmo:01317"), -1);
  EXPECT_EQ(stations.match().moved, 0);
}

// A compaction's station file is synced and renamed into place last, after
// the data file's and the directory file's renames, the folder synced after
// each, so that a power cut never leaves it ahead of the data file.
TEST_F(StationFileTest, CompactionReplacesTheStationFileDurablyAndLast) {
  BMTFile db(data.c_str());
  db.directory->first();
  db.directory->deleteEntry();
  testsupport::RecordingEnv env;
  db.remakeDatabase();
  const std::vector<std::string>& journal = env.journal();
  std::vector<std::string> renames = env.entries("rename ");
  ASSERT_GE(renames.size(), 3u);
  const std::string& last = renames.back();
  EXPECT_EQ(last.substr(last.rfind(' ') + 1), dir.file("st.stn"));
  EXPECT_EQ(renames[renames.size() - 2].substr(renames[renames.size() - 2].rfind(' ') + 1),
            dir.file("st.dir"));
  std::string temp = last.substr(7, last.rfind(' ') - 7);
  auto at = [&](const std::string& entry) {
    return std::find(journal.begin(), journal.end(), entry) - journal.begin();
  };
  long renamed = at(last);
  EXPECT_LT(at("sync " + temp), renamed);
  EXPECT_LT(at(renames[renames.size() - 2]), renamed);
  EXPECT_EQ(journal.back(), "syncFolder " + dir.path());
}

TEST_F(StationFileTest, ImportJoinsTheEntriesOfEqualLocations) {
  std::string other = dir.file("other.bmt");
  writeFile(other, testsupport::bytesOf(std::vector<LocationData>{
                       makeRecord("Europe", "Norway", "Hordaland", "Bergen", 1, 60.39f, 5.32f),
                       makeRecord("Asia", "Japan", "Tokyo", "Tokyo", 1, 35.68f, 139.69f)}));
  {
    BMTFile source(other.c_str());
    StationFile stations(source);
    StationInfo bergen;
    bergen.addId("icao:ENBR");
    bergen.elevation = 50;
    stations.set(0, bergen);
    stations.set(1, infoWith("wmo:47662"));
    ASSERT_TRUE(stations.save());
    BMTFile db(data.c_str());
    QuietInfo info;
    db.merge(source, false, info);
  }
  BMTFile db(data.c_str());
  long tokyo = indexOf(db, "wmo:47662");
  EXPECT_EQ(tokyo, 0);  // Asia first
  long bergen = indexOf(db, "icao:ENBR");
  ASSERT_EQ(bergen, 1);
  StationFile stations(db);
  const StationInfo* info = stations.find(bergen);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->ids, (std::vector<std::string>{"wmo:01317", "icao:ENBR"}));
  EXPECT_EQ(info->elevation, 12.5);  // this database's, kept
  EXPECT_EQ(indexOf(db, "wmo:01400"), 2);
}

TEST_F(StationFileTest, AStationFileThatMissedAChangeIsNoticedAndMatchedAgain) {
  // An old program swapped the records, knowing nothing of the station
  // file.
  std::string bytes = readFile(data);
  std::string swapped = bytes.substr(331, 331) + bytes.substr(0, 331) + bytes.substr(662);
  writeFile(data, swapped);
  BMTFile db(data.c_str());
  StationFile stations(db);
  EXPECT_EQ(stations.find(0), nullptr);  // the entry no longer fits its record
  EXPECT_EQ(indexOf(db, "wmo:01317"), 1);
  StationFile::MatchReport report = stations.match();
  EXPECT_EQ(report.moved, 2);
  EXPECT_EQ(report.dropped, 0);
  EXPECT_EQ(stations.find(1)->ids[0], "wmo:01317");
}

TEST_F(StationFileTest, DamagedLinesAreNamedAndLeftOut) {
  std::string text = readFile(StationFile::nameFor(data));
  writeFile(StationFile::nameFor(data), text + "7\tnonsense\n");
  BMTFile db(data.c_str());
  StationFile stations(db);
  EXPECT_EQ(stations.entries().size(), 2u);
  ASSERT_EQ(stations.faults().size(), 1u);
  EXPECT_EQ(stations.faults()[0], "line 4: it has 2 fields instead of 8");
  EXPECT_TRUE(StationFile::IsWellFormedId("usaf-wban:010010-99999"));
  EXPECT_FALSE(StationFile::IsWellFormedId("WMO:1"));
  EXPECT_FALSE(StationFile::IsWellFormedId("wmo:a b"));
}

}  // namespace
