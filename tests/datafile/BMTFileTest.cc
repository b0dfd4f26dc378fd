#include "datafile/BMTFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "datafile/MetDatabaseLock.h"
#include "platform/CurrentDirectory.h"
#include "platform/Notify.h"
#include "tests/support/RecordingEnv.h"
#include "tests/support/Records.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::bytesOf;
using testsupport::fileExists;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::walkIndices;
using testsupport::writeFile;

LocationData record(const char* continent, const char* country, const char* state, const char* name,
                    int level = 1, float lat = 10, float lon = 20) {
  return testsupport::makeRecord(continent, country, state, name, level, lat, lon, level * 100);
}

// Three records of one continent, grouped as the library writes them.
std::string threeRecords() {
  return bytesOf(record("Europe", "Norway", "Hordaland", "Bergen", 2, 60.39f, 5.32f)) +
         bytesOf(record("Europe", "Norway", "Hordaland", "Voss", 1, 60.63f, 6.42f)) +
         bytesOf(record("Europe", "Sweden", "Skane", "Lund", 1, 55.70f, 13.19f));
}

void setMtime(const std::string& path, long when) {
  ASSERT_TRUE(testsupport::setModificationTime(path, when));
}

int beeps = 0;
void countBeep() { ++beeps; }

struct BeepCounter {
  BeepCounter() {
    beeps = 0;
    previous = platform::setBeepHook(countBeep);
  }
  ~BeepCounter() { platform::setBeepHook(previous); }
  platform::BeepHook previous;
};

TEST(BMTFileOpenTest, NewNameCreatesEmptyValidDatabaseAndLeavesEmptyDirectoryFile) {
  TempDir dir;
  {
    BMTFile db(dir.file("x.bmt").c_str());
    EXPECT_TRUE(db.IsValid());
    EXPECT_TRUE(db.IsEmpty());
    EXPECT_TRUE(db.directory->IsEmpty());
    EXPECT_TRUE(fileExists(dir.file("x.bmt")));
  }
  EXPECT_EQ(readFile(dir.file("x.bmt")), "");
  EXPECT_EQ(readFile(dir.file("x.dir")), "0\n0\n");
}

TEST(BMTFileOpenTest, ValidityFollowsWholeFirstRecord) {
  TempDir dir;
  std::string one = bytesOf(record("Europe", "Norway", "Oslo", "Oslo"));
  writeFile(dir.file("short.bmt"), one.substr(0, 330));
  writeFile(dir.file("one.bmt"), one);
  writeFile(dir.file("tail.bmt"), threeRecords().substr(0, 700));
  {
    BMTFile shortFile(dir.file("short.bmt").c_str());
    EXPECT_FALSE(shortFile.IsValid());
    EXPECT_TRUE(shortFile.directory->IsEmpty());
  }
  EXPECT_FALSE(fileExists(dir.file("short.dir")));  // an invalid database writes no directory
  BMTFile oneFile(dir.file("one.bmt").c_str());
  EXPECT_TRUE(oneFile.IsValid());
  EXPECT_EQ(walkIndices(oneFile.directory), std::vector<long>({0}));
  BMTFile tail(dir.file("tail.bmt").c_str());
  EXPECT_TRUE(tail.IsValid());
  EXPECT_EQ(tail.directory->locationCount, 2);
}

TEST(BMTFileOpenTest, DataFileThatIsAFolderOrFifoIsNotValid) {
  TempDir dir;
  ASSERT_EQ(mkdir(dir.file("d.bmt").c_str(), 0755), 0);
  ASSERT_EQ(mkfifo(dir.file("f.bmt").c_str(), 0644), 0);
  BMTFile folder(dir.file("d.bmt").c_str());
  EXPECT_FALSE(folder.IsValid());
  BMTFile fifo(dir.file("f.bmt").c_str());
  EXPECT_FALSE(fifo.IsValid());
}

TEST(BMTFileOpenTest, DirectoryFileNames) {
  EXPECT_EQ(MetDatabase::directoryFileName("metdata.bmt"), "metdata.dir");
  EXPECT_EQ(MetDatabase::directoryFileName("/a/b/metdata.bmt"), "/a/b/metdata.dir");
  EXPECT_EQ(MetDatabase::directoryFileName("/maps/met"), "default.dir");
  EXPECT_EQ(MetDatabase::directoryFileName("/maps.x/met"), "default.dir");
  EXPECT_EQ(MetDatabase::directoryFileName("x.b"), "x.dir");
  EXPECT_EQ(MetDatabase::directoryFileName("x."), "x.dir");
  EXPECT_EQ(MetDatabase::directoryFileName("x.bmtold"), "x.dirold");
  std::string longName(5000, 'n');
  EXPECT_EQ(MetDatabase::directoryFileName(longName + ".bmt"), longName + ".dir");
}

TEST(BMTFileRecordTest, AppendReadAndRewriteByIndex) {
  TempDir dir;
  std::string path = dir.file("r.bmt");
  writeFile(path, threeRecords());
  BMTFile db(path.c_str());
  LocationData added = record("Asia", "Japan", "Tokyo", "Tokyo");
  EXPECT_EQ(db.addLocationData(added), 3);
  std::string bytes = readFile(path);
  ASSERT_EQ(bytes.size(), 1324u);
  EXPECT_EQ(bytes.substr(0, 993), threeRecords());

  LocationData r;
  db.getLocationData(1, r);
  EXPECT_EQ(bytesOf(r), bytes.substr(331, 331));

  LocationData untouched = record("X", "X", "X", "unchanged");
  LocationData probe = untouched;
  db.getLocationData(5, probe);
  EXPECT_EQ(bytesOf(probe), bytesOf(untouched));
  db.getLocationData(-1, probe);
  EXPECT_EQ(bytesOf(probe), bytesOf(untouched));
  db.getLocationData(4, probe);
  EXPECT_EQ(bytesOf(probe), bytesOf(untouched));

  LocationData changed = record("Europe", "Norway", "Hordaland", "Bergen", 3);
  db.setLocationData(0, changed);
  db.setLocationData(-1, changed);  // writes nothing
  db.setLocationData(4, changed);   // index == count appends
  bytes = readFile(path);
  ASSERT_EQ(bytes.size(), 5u * 331);
  EXPECT_EQ(bytes.substr(0, 331), bytesOf(changed));
  EXPECT_EQ(bytes.substr(4 * 331), bytesOf(changed));
}

TEST(BMTFileRecordTest, AppendAfterPartialTailKeepsIndexTrue) {
  TempDir dir;
  std::string path = dir.file("t.bmt");
  writeFile(path, threeRecords().substr(0, 700));
  BMTFile db(path.c_str());
  LocationData added = record("Asia", "Japan", "Tokyo", "Tokyo");
  EXPECT_EQ(db.addLocationData(added), 2);
  LocationData back;
  db.getLocationData(2, back);
  EXPECT_EQ(bytesOf(back), bytesOf(added));
  EXPECT_EQ(readFile(path).size(), 3u * 331);
}

// A saved database of threeRecords() whose directory file is older than
// its data file, as a host finds one some time after its last save.
std::string savedDatabase(const TempDir& dir) {
  std::string path = dir.file("h.bmt");
  writeFile(path, threeRecords());
  { BMTFile first(path.c_str()); }  // saves the directory file
  setMtime(dir.file("h.dir"), time(nullptr) - 200);
  setMtime(path, time(nullptr) - 100);
  return path;
}

// While the host holds the lock, every append is in the file and dates it
// past the directory file when the call returns, but only the first one
// checks the file and dates it.
TEST(BMTFileRecordTest, AppendsUnderAHeldLockAreWrittenAtOnceAndCheckedOnce) {
  TempDir dir;
  testsupport::RecordingEnv env;
  std::string path = savedDatabase(dir);
  BMTFile db(path.c_str());
  BMTFile reader(path.c_str(), BMTFile::kReadOnly);
  MetDatabaseLock lock(path.c_str());
  ASSERT_TRUE(lock.lock(MetDatabaseLock::kExclusive, 0));
  const char* names[] = {"Tokyo", "Kyoto", "Nara", "Kobe"};
  for (long i = 0; i < 4; ++i) {
    LocationData added = record("Asia", "Japan", "Kansai", names[i]);
    int checks = env.checks();
    ASSERT_EQ(db.addLocationData(added), 3 + i);
    if (i > 0) {
      EXPECT_EQ(env.checks(), checks) << "append " << i;
    }
    LocationData back;
    reader.getLocationData(3 + i, back);
    EXPECT_EQ(bytesOf(back), bytesOf(added));
    EXPECT_EQ(reader.IsDirectoryOutofDate(), 1);
  }
}

// What an append under a held lock knows is dropped by any other write in
// between: dropAppended's cut is followed, and a directory file dated past
// the writes keeps every append dating the data file.
TEST(BMTFileRecordTest, AppendsUnderAHeldLockFollowOtherWritesInTheHold) {
  TempDir dir;
  std::string path = savedDatabase(dir);
  BMTFile db(path.c_str());
  BMTFile reader(path.c_str(), BMTFile::kReadOnly);
  MetDatabaseLock lock(path.c_str());
  ASSERT_TRUE(lock.lock(MetDatabaseLock::kExclusive, 0));
  LocationData a = record("Asia", "Japan", "Kansai", "Osaka");
  LocationData b = record("Asia", "Japan", "Kansai", "Sakai");
  ASSERT_EQ(db.appendBeforeSave(a), 3);  // dates the directory file ahead
  ASSERT_EQ(db.addLocationData(b), 4);
  ASSERT_EQ(db.addLocationData(b), 5);
  EXPECT_EQ(reader.IsDirectoryOutofDate(), 1);
  ASSERT_TRUE(db.dropAppended(4));
  EXPECT_EQ(db.addLocationData(a), 4);
  EXPECT_EQ(readFile(path).size(), 5u * 331);
  EXPECT_EQ(reader.IsDirectoryOutofDate(), 1);
}

// The database reads the file it opened, even once its name is gone; only
// a data file it cannot read makes a read throw.
TEST(BMTFileRecordTest, ReadsTheOpenedFileAndThrowsOwnPointerWhenItCannot) {
  TempDir dir;
  std::string path = dir.file("gone.bmt");
  writeFile(path, threeRecords());
  BMTFile db(path.c_str());
  ASSERT_EQ(unlink(path.c_str()), 0);
  LocationData r;
  db.getLocationData(2, r);
  EXPECT_EQ(bytesOf(r), threeRecords().substr(2 * 331, 331));
  EXPECT_TRUE(db.IsStale());

  db.stream.close();
  try {
    db.getLocationData(0, r);
    FAIL() << "no throw";
  } catch (BMTFile* thrown) {
    EXPECT_EQ(thrown, &db);
  }
  EXPECT_TRUE(db.IsEmpty());
}

TEST(BMTFileRecordTest, RelativeNameStaysInHomeAfterCallerMoves) {
  TempDir home, elsewhere;
  long index;
  {
    testsupport::ScopedCwd in(home.path());
    BMTFile db("met.bmt");
    testsupport::ScopedCwd away(elsewhere.path());
    LocationData r = record("Europe", "Norway", "Oslo", "Oslo");
    index = db.addLocationData(r);
    EXPECT_EQ(platform::currentDirectory(), elsewhere.path());
  }
  EXPECT_EQ(index, 0);
  EXPECT_EQ(readFile(home.file("met.bmt")).size(), 331u);
  EXPECT_FALSE(fileExists(elsewhere.file("met.bmt")));
}

// An absolute name does not depend on the current directory; the record
// operations find the file from anywhere, even when the home is gone, and
// leave the caller where it was.
TEST(BMTFileRecordTest, AbsoluteNameWorksFromAnywhereEvenWithoutItsHome) {
  TempDir data, elsewhere;
  std::string home = elsewhere.file("home");
  ASSERT_EQ(mkdir(home.c_str(), 0700), 0);
  std::unique_ptr<BMTFile> db;
  {
    testsupport::ScopedCwd in(home);
    db.reset(new BMTFile(data.file("met.bmt").c_str()));
  }
  ASSERT_EQ(rmdir(home.c_str()), 0);
  testsupport::ScopedCwd away(elsewhere.path());
  LocationData oslo = record("Europe", "Norway", "Oslo", "Oslo");
  LocationData bergen = record("Europe", "Norway", "Vestland", "Bergen");
  EXPECT_EQ(db->addLocationData(oslo), 0);
  EXPECT_EQ(db->addLocationData(oslo), 1);
  db->setLocationData(1, bergen);
  LocationData back;
  db->getLocationData(1, back);
  EXPECT_EQ(bytesOf(back), bytesOf(bergen));
  EXPECT_EQ(platform::currentDirectory(), elsewhere.path());
  EXPECT_EQ(readFile(data.file("met.bmt")).size(), 662u);
}

// While a BulkRead holds the file, reads come from blocks read ahead; what
// the database itself writes meanwhile is read back, and a record that is
// not wholly in the file still leaves the caller's record alone.
TEST(BMTFileRecordTest, BulkReadSeesItsOwnWritesAndStopsAtTheEnd) {
  TempDir dir;
  std::string path = dir.file("met.bmt");
  writeFile(path, threeRecords() + std::string(100, 'x'));
  BMTFile db(path.c_str());
  BMTFile::BulkRead reading(db);
  LocationData r;
  db.getLocationData(0, r);
  EXPECT_STREQ(r.name, "Bergen");
  LocationData untouched = record("A", "B", "C", "D");
  r = untouched;
  db.getLocationData(3, r);  // only 100 bytes of it are there
  EXPECT_EQ(bytesOf(r), bytesOf(untouched));
  LocationData lund = record("Europe", "Sweden", "Skane", "Lund", 3, 1, 2);
  db.setLocationData(1, lund);
  db.getLocationData(1, r);
  EXPECT_EQ(bytesOf(r), bytesOf(lund));
  LocationData added = record("Asia", "Japan", "Kanto", "Tokyo");
  EXPECT_EQ(db.addLocationData(added), 3);
  db.getLocationData(3, r);
  EXPECT_EQ(bytesOf(r), bytesOf(added));
  r = untouched;
  db.getLocationData(4, r);
  db.getLocationData(-1, r);
  EXPECT_EQ(bytesOf(r), bytesOf(untouched));
}

TEST(BMTFileRecordTest, FailedWritesChangeNothingAndReportIt) {
  TempDir dir;
  std::string path = dir.file("full.bmt");
  writeFile(path, threeRecords());
  int status = testsupport::runWithFileSizeLimit(3 * 331 + 100, [&] {
    BMTFile db(path.c_str());
    BeepCounter counter;
    LocationData r = record("Asia", "Japan", "Tokyo", "Tokyo");
    if (db.addLocationData(r) != -1) return 1;
    db.setLocationData(3, r);
    if (beeps != 1) return 2;
    db.setLocationData(1, r);  // inside the file: succeeds
    if (beeps != 1) return 3;
    return 0;
  });
  EXPECT_EQ(status, 0);
  std::string bytes = readFile(path);
  ASSERT_EQ(bytes.size(), 3u * 331);
  EXPECT_EQ(bytes.substr(0, 331), threeRecords().substr(0, 331));
  EXPECT_EQ(bytes.substr(331, 331), bytesOf(record("Asia", "Japan", "Tokyo", "Tokyo")));
}

TEST(BMTFileOpenTest, ReadOnlyDataFileIsNotValidButKeepsItsLength) {
  TempDir dir;
  std::string path = dir.file("ro.bmt");
  writeFile(path, threeRecords());
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  int status = testsupport::runUnprivileged([&] {
    BMTFile db(path.c_str());
    return !db.IsValid() && !db.IsEmpty() && db.directory->IsEmpty() ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(fileExists(dir.file("ro.dir")));
}

TEST(BMTFileFreshnessTest, DirectoryFileIsReadRebuiltOrKeptByItsAge) {
  TempDir dir;
  std::string data = dir.file("f.bmt"), index = dir.file("f.dir");
  writeFile(data, threeRecords());
  { BMTFile db(data.c_str()); }  // rebuilds and saves
  ASSERT_TRUE(fileExists(index));
  std::string saved = readFile(index);
  EXPECT_EQ(saved.substr(0, 2), "3\n");

  setMtime(data, 1000000000);
  setMtime(index, 1000000000);
  {
    BMTFile db(data.c_str());
    EXPECT_EQ(db.IsDirectoryOutofDate(), 0);
    EXPECT_FALSE(db.directory->changed);  // read, not rebuilt
    EXPECT_EQ(walkIndices(db.directory), std::vector<long>({0, 1, 2}));
  }
  struct stat st;
  ASSERT_EQ(stat(index.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1000000000);  // not rewritten

  // A directory file that names a location the data file no longer has:
  // once the data file is newer, the opening rebuilds from the records.
  writeFile(data, threeRecords().substr(0, 662));
  setMtime(data, 1000000010);
  {
    BMTFile db(data.c_str());
    EXPECT_EQ(db.directory->locationCount, 2);
    EXPECT_TRUE(db.directory->changed);
  }
  EXPECT_EQ(readFile(index).substr(0, 2), "2\n");

  ASSERT_EQ(unlink(index.c_str()), 0);
  BMTFile db(data.c_str());
  EXPECT_EQ(db.IsDirectoryOutofDate(), 1);
  EXPECT_EQ(db.directory->locationCount, 2);
}

TEST(BMTFileFreshnessTest, DamagedDirectoryFileMakesOpeningRebuild) {
  TempDir dir;
  std::string data = dir.file("g.bmt"), index = dir.file("g.dir");
  writeFile(data, threeRecords());
  writeFile(index, "3\nBergen\n60.39 5.32 2 0\n");  // truncated
  setMtime(data, 1000000000);
  setMtime(index, 1000000100);
  {
    BMTFile db(data.c_str());
    EXPECT_EQ(walkIndices(db.directory), std::vector<long>({0, 1, 2}));
  }
  EXPECT_EQ(readFile(index).substr(0, 2), "3\n");  // saved whole again
  BMTFile db(data.c_str());
  EXPECT_EQ(db.directory->locationCount, 3);
}

}  // namespace
