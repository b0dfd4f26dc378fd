#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "datafile/BMTFile.h"
#include "datafile/InfoDevice.h"
#include "datafile/RecordOrder.h"
#include "platform/Failure.h"
#include "tests/support/RecordingEnv.h"
#include "tests/support/Records.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::bytesOf;
using testsupport::listFolder;
using testsupport::makeRecord;
using testsupport::readFile;
using testsupport::recordsOf;
using testsupport::TempDir;
using testsupport::walkIndices;
using testsupport::walkPaths;
using testsupport::writeFile;

// Records what an import tells its host.
class RecordingInfo : public InfoDevice {
 public:
  void finish() override { events.push_back("finish"); }
  void showText(const VELDstring& text, int line) override {
    events.push_back("text " + std::to_string(line) + " " + text);
  }
  void showLocation(const VELDstring& continent, const VELDstring& country, const VELDstring& state,
                    const VELDstring& location) override {
    locations.push_back(continent + "/" + country + "/" + state + "/" + location);
  }
  void showNumber(long value, int line) override {
    events.push_back("number " + std::to_string(line) + " " + std::to_string(value));
  }
  std::vector<std::string> events;
  std::vector<std::string> locations;
};

std::vector<std::string> report(long total, long added, long replaced) {
  return {"finish",
          "text -1 Importing of data completed.",
          "text 0 Total Locations:",
          "number 0 " + std::to_string(total),
          "text 1 New:",
          "number 1 " + std::to_string(added),
          "text 2 Replaced:",
          "number 2 " + std::to_string(replaced)};
}

std::vector<LocationData> nordic() {
  return {makeRecord("Europe", "Norway", "Hordaland", "Bergen", 2, 60.39f, 5.32f, 1),
          makeRecord("Europe", "Norway", "Hordaland", "Voss", 1, 60.63f, 6.42f, 2),
          makeRecord("Europe", "Sweden", "Skane", "Lund", 1, 55.70f, 13.19f, 3)};
}

// Folder entries other than the named files and the databases' lock files:
// what an operation left behind.
std::vector<std::string> strays(const TempDir& dir, std::vector<std::string> expected) {
  std::vector<std::string> out;
  for (const std::string& name : listFolder(dir.path())) {
    bool known = name.size() > 5 && name.compare(name.size() - 5, 5, ".lock") == 0;
    for (const std::string& e : expected) known = known || e == name;
    if (!known) out.push_back(name);
  }
  return out;
}

TEST(RecordOrderTest, ContinentCountryStateNameThenLowerLevelFirst) {
  LocationData a = makeRecord("Europe", "Norway", "Oslo", "Oslo", 1);
  LocationData b = makeRecord("EUROPE", "NORWAY", "OSLO", "OSLO", 1);
  EXPECT_EQ(compareLocationData(a, b), 0);
  b.level = 3;
  EXPECT_EQ(compareLocationData(a, b), -1);  // lower level first
  b = a;
  b.latitude += 1e-5f;
  EXPECT_EQ(compareLocationData(a, b), -1);
  EXPECT_EQ(compareLocationData(b, a), 1);
  b = a;
  b.auxValue = 99;
  b.seriesE[3] = 5;
  EXPECT_EQ(compareLocationData(a, b), 0);
  LocationData asia = makeRecord("Asia", "Zed", "Zed", "Zed");
  EXPECT_EQ(compareLocationData(asia, a), -1);
  std::memset(asia.continent, 'A', sizeof asia.continent);  // unterminated: read within field
  EXPECT_EQ(compareLocationData(asia, a), -1);
  LocationData upper = asia;
  std::memset(upper.continent, 'a', sizeof upper.continent);  // the same ignoring case
  EXPECT_EQ(compareLocationData(asia, upper), 0);
  upper.continent[sizeof upper.continent - 1] = '\0';  // a prefix sorts first
  EXPECT_EQ(compareLocationData(upper, asia), -1);
  EXPECT_EQ(compareLocationData(asia, upper), 1);
}

TEST(RemakeDatabaseTest, EmptyDirectoryLeavesEmptyFile) {
  TempDir dir;
  std::string path = dir.file("e.bmt");
  BMTFile db(path.c_str());
  db.remakeDatabase();
  EXPECT_EQ(readFile(path), "");
  LocationData r = makeRecord("A", "B", "C", "D");
  EXPECT_EQ(db.addLocationData(r), 0);
}

TEST(RemakeDatabaseTest, DropsDeletedAndGroupsScatteredRecords) {
  TempDir dir;
  std::string path = dir.file("s.bmt");
  std::vector<LocationData> scattered = {
      makeRecord("Europe", "Norway", "Oslo", "Oslo", 1, 59.9f, 10.7f, 1),
      makeRecord("Asia", "Japan", "Tokyo", "Tokyo", 1, 35.7f, 139.7f, 2),
      makeRecord("Europe", "Norway", "Oslo", "Blindern", 1, 59.9f, 10.7f, 3),
      makeRecord("Asia", "Japan", "Osaka", "Osaka", 1, 34.7f, 135.5f, 4),
      makeRecord("Europe", "Denmark", "Sjaelland", "Kobenhavn", 1, 55.7f, 12.6f, 5)};
  writeFile(path, bytesOf(scattered));
  {
    BMTFile db(path.c_str());
    // Each change of continent opened a group: the walk starts with the
    // first Asia group, Tokyo.
    db.directory->first();
    ASSERT_STREQ(db.directory->getLocationName(), "Tokyo");
    db.directory->deleteEntry();
    db.remakeDatabase();
    EXPECT_EQ(walkIndices(db.directory), std::vector<long>({0, 1, 2, 3}));
    // The directory file describing the new data file is in place with it.
    EXPECT_TRUE(strays(dir, {"s.bmt", "s.dir"}).empty());
    EXPECT_EQ(db.IsDirectoryOutofDate(), 0);
  }
  std::vector<LocationData> after = recordsOf(readFile(path));
  ASSERT_EQ(after.size(), 4u);
  EXPECT_STREQ(after[0].name, "Osaka");
  EXPECT_STREQ(after[1].name, "Oslo");
  EXPECT_STREQ(after[2].name, "Blindern");
  EXPECT_STREQ(after[3].name, "Kobenhavn");
  EXPECT_EQ(int{after[1].auxValue}, 1);  // the whole record travels
  // The file is grouped now: a directory built from it holds each group once.
  ASSERT_EQ(unlink(dir.file("s.dir").c_str()), 0);
  BMTFile reopened(path.c_str());
  EXPECT_EQ(
      walkPaths(reopened.directory),
      std::vector<std::string>({"Asia/Japan/Osaka/Osaka", "Europe/Denmark/Sjaelland/Kobenhavn",
                                "Europe/Norway/Oslo/Blindern", "Europe/Norway/Oslo/Oslo"}));
}

// After a power cut at any moment the folder must hold the old pair, or the
// new data file with an older directory file, or the new pair: each file is
// synced before its rename, and the data file's rename is made durable
// before the directory file's.
TEST(RemakeDatabaseTest, DataFileRenameIsDurableBeforeTheDirectoryFiles) {
  TempDir dir;
  std::string path = dir.file("s.bmt");
  writeFile(path, bytesOf(nordic()));
  BMTFile db(path.c_str());
  db.directory->first();
  db.directory->deleteEntry();
  testsupport::RecordingEnv env;
  db.remakeDatabase();
  const std::vector<std::string>& journal = env.journal();
  auto at = [&](const std::string& entry) {
    return std::find(journal.begin(), journal.end(), entry) - journal.begin();
  };
  // "rename FROM TO" of the data file and, last, of the directory file.
  std::vector<std::string> renames = env.entries("rename ");
  ASSERT_GE(renames.size(), 2u);
  const std::string& data = renames[renames.size() - 2];
  const std::string& directory = renames.back();
  ASSERT_EQ(data.substr(data.rfind(' ') + 1), path);
  ASSERT_EQ(directory.substr(directory.rfind(' ') + 1), dir.file("s.dir"));
  std::string dataTemp = data.substr(7, data.rfind(' ') - 7);
  long dataAt = at(data), directoryAt = at(directory);
  EXPECT_LT(at("sync " + dataTemp), dataAt);
  // The directory file's content was synced (under the names its own
  // replacement gave it) before the data file was renamed.
  bool synced = false, between = false;
  for (long i = 0; i < dataAt; ++i) {
    const std::string& e = journal[static_cast<std::size_t>(i)];
    synced = synced || (e.rfind("sync ", 0) == 0 && e != "sync " + dataTemp);
  }
  for (long i = dataAt + 1; i < directoryAt; ++i) {
    between = between || journal[static_cast<std::size_t>(i)] == "syncFolder " + dir.path();
  }
  EXPECT_TRUE(synced);
  EXPECT_TRUE(between);
  EXPECT_EQ(journal.back(), "syncFolder " + dir.path());
}

// A location entered into a filled directory with addOrderedEntry opens a
// second group of its names beside the first (here a second Europe holding
// a second Norway), and the walk visits Norway, Sweden, then Norway again.
// The compaction joins them: the file comes out grouped, and the directory,
// the same object, holds each group once with the k-th location at record k.
TEST(RemakeDatabaseTest, JoinsAGroupThatALaterEntrySplit) {
  TempDir dir;
  std::string path = dir.file("j.bmt");
  writeFile(path, bytesOf(nordic()));
  {
    BMTFile db(path.c_str());
    LocationData odda = makeRecord("Europe", "NORWAY", "Hordaland", "Odda", 1, 60.07f, 6.55f, 4);
    long index = db.addLocationData(odda);
    ASSERT_EQ(index, 3);
    LocationData previous;
    db.directory->addOrderedEntry(odda, previous, index);
    ASSERT_EQ(
        walkPaths(db.directory),
        std::vector<std::string>({"Europe/Norway/Hordaland/Bergen", "Europe/Norway/Hordaland/Voss",
                                  "Europe/Sweden/Skane/Lund", "Europe/NORWAY/Hordaland/Odda"}));
    Directory* before = db.directory;
    db.remakeDatabase();
    EXPECT_STREQ(platform::lastFailure(), "");
    EXPECT_EQ(db.directory, before);
    EXPECT_EQ(db.directory->getContinents()->count(), 1u);
    EXPECT_EQ(
        walkPaths(db.directory),
        std::vector<std::string>({"Europe/Norway/Hordaland/Bergen", "Europe/Norway/Hordaland/Odda",
                                  "Europe/Norway/Hordaland/Voss", "Europe/Sweden/Skane/Lund"}));
    EXPECT_EQ(walkIndices(db.directory), std::vector<long>({0, 1, 2, 3}));
    EXPECT_EQ(db.directory->locationCount, 4);
  }
  std::vector<LocationData> after = recordsOf(readFile(path));
  ASSERT_EQ(after.size(), 4u);
  EXPECT_STREQ(after[0].name, "Bergen");
  EXPECT_STREQ(after[1].name, "Odda");
  EXPECT_EQ(int{after[1].auxValue}, 4);  // the whole record travels, its names as written
  EXPECT_STREQ(after[1].country, "NORWAY");
  EXPECT_STREQ(after[2].name, "Voss");
  EXPECT_STREQ(after[3].name, "Lund");
  // The saved directory file and a rebuild from the records agree.
  BMTFile saved(path.c_str());
  EXPECT_EQ(walkIndices(saved.directory), std::vector<long>({0, 1, 2, 3}));
  ASSERT_EQ(unlink(dir.file("j.dir").c_str()), 0);
  BMTFile rebuilt(path.c_str());
  EXPECT_EQ(walkPaths(rebuilt.directory), walkPaths(saved.directory));
}

// A directory that names a record past the end of the data file: the
// compaction and the import write zero bytes for it (the import adds the
// directory's names), not what their buffer held before (the tail of the
// previous record's names). The database is nordic() with Voss pointed at
// record 40.
std::unique_ptr<BMTFile> openWithRecordPastTheEnd(const std::string& path) {
  writeFile(path, bytesOf(nordic()));
  auto db = std::make_unique<BMTFile>(path.c_str());
  db->directory->first();
  if (db->directory->next() && std::strcmp(db->directory->getLocationName(), "Voss") == 0) {
    db->directory->setLocationIndex(40);
  } else {
    ADD_FAILURE() << "Voss is not second";
  }
  return db;
}

TEST(RemakeDatabaseTest, RecordPastTheEndBecomesZeroBytes) {
  TempDir dir;
  std::unique_ptr<BMTFile> db = openWithRecordPastTheEnd(dir.file("p.bmt"));
  db->remakeDatabase();
  std::vector<LocationData> after = recordsOf(readFile(dir.file("p.bmt")));
  ASSERT_EQ(after.size(), 3u);
  EXPECT_EQ(bytesOf(after[0]), bytesOf(nordic()[0]));
  EXPECT_EQ(bytesOf(after[1]), std::string(sizeof(LocationData), '\0'));
  EXPECT_EQ(bytesOf(after[2]), bytesOf(nordic()[2]));
}

TEST(MergeTest, SourceRecordPastTheEndIsImportedAsZeroBytes) {
  TempDir dir;
  std::unique_ptr<BMTFile> source = openWithRecordPastTheEnd(dir.file("s.bmt"));
  BMTFile target(dir.file("t.bmt").c_str());
  RecordingInfo info;
  target.merge(*source, false, info);
  std::vector<std::string> records;
  for (const LocationData& r : recordsOf(readFile(dir.file("t.bmt")))) {
    records.push_back(bytesOf(r));
  }
  std::sort(records.begin(), records.end());
  // The import names the record after its place in the directory, as it
  // does every record; all else is zero.
  std::vector<std::string> expected = {
      bytesOf(makeRecord("Europe", "Norway", "Hordaland", "", 0, 0, 0, 0)), bytesOf(nordic()[0]),
      bytesOf(nordic()[2])};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(records, expected);
}

TEST(MergeTest, EmptyIntoEmptyAndSourceIsTarget) {
  TempDir dir;
  BMTFile target(dir.file("t.bmt").c_str());
  BMTFile source(dir.file("s.bmt").c_str());
  RecordingInfo info;
  target.merge(source, false, info);
  EXPECT_EQ(info.events, report(0, 0, 0));
  EXPECT_EQ(readFile(dir.file("t.bmt")), "");
  RecordingInfo none;
  target.merge(target, true, none);
  EXPECT_TRUE(none.events.empty());
}

TEST(MergeTest, IntoEmptyTargetTakesSourceInWalkOrder) {
  TempDir dir;
  writeFile(dir.file("s.bmt"), bytesOf(nordic()));
  BMTFile target(dir.file("t.bmt").c_str());
  BMTFile source(dir.file("s.bmt").c_str());
  RecordingInfo info;
  target.merge(source, false, info);
  EXPECT_EQ(info.events, report(3, 3, 0));
  EXPECT_TRUE(readFile(dir.file("t.bmt")) == bytesOf(nordic()));
  EXPECT_EQ(walkIndices(target.directory), std::vector<long>({0, 1, 2}));
  EXPECT_EQ(info.locations, walkPaths(source.directory));
  EXPECT_TRUE(readFile(dir.file("s.bmt")) == bytesOf(nordic()));  // source untouched
}

TEST(MergeTest, EqualRecordsReplacedOrKept) {
  for (bool replace : {false, true}) {
    TempDir dir;
    std::vector<LocationData> mine = nordic();
    std::vector<LocationData> theirs = {
        makeRecord("EUROPE", "norway", "Hordaland", "BERGEN", 2, 60.39f, 5.32f, 50),
        makeRecord("Europe", "Norway", "Hordaland", "Voss", 1, 60.63f + 1e-4f, 6.42f, 60)};
    writeFile(dir.file("t.bmt"), bytesOf(mine));
    writeFile(dir.file("s.bmt"), bytesOf(theirs));
    BMTFile target(dir.file("t.bmt").c_str());
    BMTFile source(dir.file("s.bmt").c_str());
    RecordingInfo info;
    target.merge(source, replace, info);
    EXPECT_EQ(info.events, report(4, 1, replace ? 1 : 0));
    std::vector<LocationData> out = recordsOf(readFile(dir.file("t.bmt")));
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(int{out[0].auxValue}, replace ? 50 : 1);
    EXPECT_STREQ(out[0].name, replace ? "BERGEN" : "Bergen");
    // A written source record carries the names of the source's directory.
    EXPECT_STREQ(out[0].continent, replace ? "EUROPE" : "Europe");
    EXPECT_EQ(int{out[1].auxValue}, 2);
    EXPECT_EQ(int{out[2].auxValue}, 60);
    EXPECT_EQ(int{out[3].auxValue}, 3);
    EXPECT_EQ(info.locations.size(), 4u);  // three paired steps and one remainder
    EXPECT_EQ(info.locations[1], "EUROPE/norway/Hordaland/Voss");  // the source's names
  }
}

TEST(MergeTest, SourceEmptyRewritesTargetWithItsDirectoryNames) {
  TempDir dir;
  std::vector<LocationData> mine = nordic();
  mine[1] = makeRecord("europe", "NORWAY", "hordaland", "Voss", 1, 60.63f, 6.42f, 2);
  writeFile(dir.file("t.bmt"), bytesOf(mine));
  BMTFile target(dir.file("t.bmt").c_str());
  BMTFile source(dir.file("s.bmt").c_str());
  RecordingInfo info;
  target.merge(source, true, info);
  EXPECT_EQ(info.events, report(3, 0, 0));
  std::vector<LocationData> out = recordsOf(readFile(dir.file("t.bmt")));
  ASSERT_EQ(out.size(), 3u);
  EXPECT_STREQ(out[1].continent, "Europe");
  EXPECT_STREQ(out[1].country, "Norway");
  EXPECT_STREQ(out[1].state, "Hordaland");
}

TEST(MergeTest, LevelsPairOnlyAtTheHeadsAndNothingIsLost) {
  TempDir dir;
  std::vector<LocationData> mine = {makeRecord("E", "N", "S", "Bergen", 1, 60, 5, 1),
                                    makeRecord("E", "N", "S", "Bergen", 3, 60, 5, 2)};
  std::vector<LocationData> theirs = {makeRecord("E", "N", "S", "Bergen", 1, 60, 5, 3),
                                      makeRecord("E", "N", "S", "Bergen", 3, 60, 5, 4)};
  writeFile(dir.file("t.bmt"), bytesOf(mine));
  writeFile(dir.file("s.bmt"), bytesOf(theirs));
  BMTFile target(dir.file("t.bmt").c_str());
  BMTFile source(dir.file("s.bmt").c_str());
  RecordingInfo info;
  target.merge(source, true, info);
  std::vector<LocationData> out = recordsOf(readFile(dir.file("t.bmt")));
  // Walks present level 3 first; the comparison puts level 1 first.
  // Heads (3,3) pair as equal -> source's; then (1,1) pair -> source's.
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(int{out[0].auxValue}, 4);
  EXPECT_EQ(int{out[1].auxValue}, 3);
  EXPECT_EQ(info.events, report(2, 0, 2));
}

TEST(MergeTest, UnreadableSourceThrowsAndChangesNothing) {
  TempDir dir;
  writeFile(dir.file("t.bmt"), bytesOf(nordic()));
  writeFile(dir.file("s.bmt"), bytesOf(nordic()));
  BMTFile target(dir.file("t.bmt").c_str());
  BMTFile source(dir.file("s.bmt").c_str());
  source.stream.close();  // as if its data file could no longer be read
  RecordingInfo info;
  std::vector<long> before = walkIndices(target.directory);
  Directory* directoryBefore = target.directory;
  try {
    target.merge(source, true, info);
    FAIL() << "no throw";
  } catch (BMTFile* thrown) {
    EXPECT_EQ(thrown, &source);
  }
  EXPECT_EQ(target.directory, directoryBefore);
  EXPECT_EQ(walkIndices(target.directory), before);
  EXPECT_TRUE(readFile(dir.file("t.bmt")) == bytesOf(nordic()));
  EXPECT_TRUE(strays(dir, {"t.bmt", "t.dir", "s.bmt", "s.dir"}).empty());
}

// A synthetic grouped database of n records.
std::vector<LocationData> generated(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<LocationData> out;
  for (int i = 0; i < n; ++i) {
    char continent[16], country[16], state[16], name[16];
    std::snprintf(continent, sizeof continent, "C%d", i / 4000);
    std::snprintf(country, sizeof country, "K%d", i / 400);
    std::snprintf(state, sizeof state, "S%d", i / 40);
    std::snprintf(name, sizeof name, "L%u", static_cast<unsigned>(rng() % 100000));
    out.push_back(makeRecord(continent, country, state, name, static_cast<int>(rng() % 5),
                             static_cast<float>(rng() % 180) - 90,
                             static_cast<float>(rng() % 360) - 180, i % 30000));
  }
  return out;
}

// A failing write part-way (a file size limit) leaves every file and the
// directory as they were, and no temporary file.
TEST(FailureSafetyTest, FullDiskDuringRemakeAndMergeChangesNothing) {
  TempDir dir;
  std::vector<LocationData> records = generated(2000, 7);
  std::string original = bytesOf(records);
  writeFile(dir.file("f.bmt"), original);
  writeFile(dir.file("src.bmt"), bytesOf(generated(1500, 8)));
  { BMTFile db(dir.file("f.bmt").c_str()); }
  { BMTFile db(dir.file("src.bmt").c_str()); }
  std::string directoryFile = readFile(dir.file("f.dir"));
  off_t limit = 1000 * 331;  // less than either new file needs
  int status = testsupport::runWithFileSizeLimit(limit, [&]() -> int {
    BMTFile db(dir.file("f.bmt").c_str());
    std::vector<long> before = walkIndices(db.directory);
    db.directory->first();
    db.directory->deleteEntry();  // so that the remake has work to do
    before = walkIndices(db.directory);
    db.remakeDatabase();  // writes 1999 records into a file that may hold 1000 more
    if (walkIndices(db.directory) != before) _exit(1);
    BMTFile src(dir.file("src.bmt").c_str());
    RecordingInfo info;
    Directory* d = db.directory;
    db.merge(src, false, info);
    if (db.directory != d || walkIndices(db.directory) != before) _exit(2);
    if (info.events != std::vector<std::string>({"finish", "text -1 Importing of data failed."}))
      _exit(3);
    _exit(0);  // skip destructors: the changed directory is not to be saved here
  });
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(readFile(dir.file("f.bmt")) == original);
  EXPECT_TRUE(readFile(dir.file("f.dir")) == directoryFile);
  EXPECT_TRUE(strays(dir, {"f.bmt", "f.dir", "src.bmt", "src.dir"}).empty());
}

// A compaction or import killed at a random moment leaves the data file
// either as it was or as it should be after, and a database that opens with
// a directory that agrees with it.
TEST(FailureSafetyTest, KilledAtRandomMomentsLeavesOldOrNewFile) {
  std::mt19937 rng(2024);
  for (int trial = 0; trial < 24; ++trial) {
    TempDir dir;
    bool merging = trial % 2 == 1;
    std::vector<LocationData> records = generated(10000, static_cast<unsigned>(trial));
    std::string original = bytesOf(records);
    writeFile(dir.file("k.bmt"), original);
    writeFile(dir.file("src.bmt"), bytesOf(generated(3000, 99)));
    { BMTFile db(dir.file("k.bmt").c_str()); }
    { BMTFile db(dir.file("src.bmt").c_str()); }

    // The expected result, computed on a copy.
    std::string expected;
    {
      TempDir copy;
      writeFile(copy.file("k.bmt"), original);
      writeFile(copy.file("src.bmt"), readFile(dir.file("src.bmt")));
      BMTFile db(copy.file("k.bmt").c_str());
      BMTFile src(copy.file("src.bmt").c_str());
      RecordingInfo info;
      if (merging) {
        db.merge(src, true, info);
      } else {
        db.remakeDatabase();
      }
      expected = readFile(copy.file("k.bmt"));
    }

    pid_t pid = fork();
    if (pid == 0) {
      BMTFile db(dir.file("k.bmt").c_str());
      BMTFile src(dir.file("src.bmt").c_str());
      RecordingInfo info;
      if (merging) {
        db.merge(src, true, info);
      } else {
        db.remakeDatabase();
      }
      _exit(0);
    }
    usleep(static_cast<useconds_t>(rng() % 60000));
    kill(pid, SIGKILL);
    int status;
    waitpid(pid, &status, 0);

    std::string now = readFile(dir.file("k.bmt"));
    ASSERT_TRUE(now == original || now == expected) << "trial " << trial;
    BMTFile db(dir.file("k.bmt").c_str());
    std::vector<LocationData> onDisk = recordsOf(now);
    ASSERT_EQ(db.directory->locationCount, static_cast<long>(onDisk.size()));
    db.directory->first();
    do {
      long index = db.directory->getLocationIndex();
      ASSERT_GE(index, 0);
      ASSERT_LT(index, static_cast<long>(onDisk.size()));
      ASSERT_EQ(fieldText(onDisk[index].name), std::string(db.directory->getLocationName()));
    } while (db.directory->next());
  }
}

}  // namespace
