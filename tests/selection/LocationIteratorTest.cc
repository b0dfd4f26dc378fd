#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "datafile/LocationData.h"
#include "module/CurrentDatabase.h"
#include "selection/TLocationIterator.h"
#include "selection/TLocationSelection.h"
#include "tests/selection/DatabaseTestUtil.h"
#include "tests/selection/SelectionTestUtil.h"
#include "tests/support/Records.h"
#include "tests/support/TempDir.h"

namespace {

using selectiontest::chain;
using selectiontest::entry;
using selectiontest::makeCurrentDatabase;
using selectiontest::smallWorld;
using testsupport::makeRecord;
using testsupport::ScopedCwd;
using testsupport::TempDir;

// The record indices of a full walk with next(), checking on the way that
// each loaded record is the one named by recordIndex (its auxValue holds
// its index).
std::vector<long> walk(TLocationIterator& it) {
  std::vector<long> out;
  if (it.isEmpty()) return out;
  it.first();
  do {
    EXPECT_EQ(long{it.locData.auxValue}, it.recordIndex);
    out.push_back(it.recordIndex);
  } while (it.next());
  return out;
}

std::vector<std::string> indexFiles(const std::string& folder) {
  std::vector<std::string> out;
  for (const std::string& name : testsupport::listFolder(folder)) {
    if (name.rfind("TQ_", 0) == 0) out.push_back(name);
  }
  return out;
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    const char* old = getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (had_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

// Every test gets a fresh current database and runs in its own folder, where
// the index files appear.
class LocationIteratorTest : public testing::Test {
 protected:
  void SetUp() override {
    makeCurrentDatabase(data_, smallWorld());
    cwd_ = std::make_unique<ScopedCwd>(work_.path());
  }
  void TearDown() override { cwd_.reset(); }

  TempDir data_;
  TempDir work_;
  std::unique_ptr<ScopedCwd> cwd_;
};

TEST_F(LocationIteratorTest, EmptySelectionKeepsItsFileOnlyWhileItLives) {
  TLocationSelection s;
  std::string file;
  {
    TLocationIterator it(&s);
    file = it.tempFileName;
    EXPECT_TRUE(it.isEmpty());
    EXPECT_EQ(it.getNumLocations(), 0);
    EXPECT_EQ(it.position, 0);
    EXPECT_EQ(it.locData.name[0], '\0');
    EXPECT_EQ(it.locData.level, 0);
    EXPECT_EQ(float{it.locData.latitude}, 0.0f);
    EXPECT_FALSE(it.next());
    EXPECT_FALSE(it.previous());
    EXPECT_FALSE(it.at(0));
    EXPECT_EQ(it.position, 0);
    it.first();
    EXPECT_EQ(it.locData.name[0], '\0');

    // Absolute, in the current directory, "TQ_" and six characters, empty.
    EXPECT_EQ(file.substr(0, work_.path().size() + 4), work_.path() + "/TQ_");
    EXPECT_EQ(file.size(), work_.path().size() + 1 + 9);
    EXPECT_TRUE(testsupport::fileExists(file));
    EXPECT_EQ(testsupport::readFile(file), "");
  }
  EXPECT_FALSE(testsupport::fileExists(file));
  EXPECT_TRUE(indexFiles(work_.path()).empty());
}

TEST_F(LocationIteratorTest, WholeContinentInDirectoryOrderWithTheIndexFileLayout) {
  TLocationSelection s;
  s.continentList = entry("Europe", true);
  TLocationIterator it(&s);
  ASSERT_EQ(it.getNumLocations(), 7);
  EXPECT_EQ(it.position, 0);
  EXPECT_EQ(it.recordIndex, 0);
  EXPECT_STREQ(it.locData.name, "Innsbruck");

  std::string expected;
  for (long index : {0, 1, 2, 6, 4, 5, 3}) {
    for (int b = 0; b < 4; ++b) expected += static_cast<char>((index >> (8 * b)) & 0xff);
  }
  EXPECT_EQ(testsupport::readFile(it.tempFileName), expected);
  EXPECT_EQ(walk(it), (std::vector<long>{0, 1, 2, 6, 4, 5, 3}));
}

TEST_F(LocationIteratorTest, NamedEntriesAtEveryLevelIgnoringCase) {
  TLocationSelection s;
  s.continentList =
      chain({entry("EUROPE", false,
                   chain({entry("austria", true),
                          entry("Switzerland", false,
                                entry("valais", false,
                                      // A location entry's selectAll and sub-list mean nothing.
                                      chain({entry("brig", true, entry("Nowhere", true)),
                                             entry("ZERMATT", false)})))})),
             entry("North America", false, entry("Canada", false))});
  TLocationIterator it(&s);
  // Canada with no sub-list selects nothing.
  EXPECT_EQ(walk(it), (std::vector<long>{0, 1, 6, 3}));
}

TEST_F(LocationIteratorTest, LevelLimitKeepsLevelMinusThreeAndDropsSix) {
  makeCurrentDatabase(data_, {makeRecord("Asia", "Nepal", "Bagmati", "Deep", -3, 1, 1, 0),
                              makeRecord("Asia", "Nepal", "Bagmati", "High", 6, 1, 1, 1),
                              makeRecord("Asia", "Nepal", "Bagmati", "Top", 5, 1, 1, 2)});
  TLocationSelection s;
  s.continentList = entry("Asia", true);
  {
    TLocationIterator it(&s);
    EXPECT_EQ(walk(it), (std::vector<long>{0, 2}));
  }
  s.levelLimit = 6;
  {
    TLocationIterator it(&s);
    EXPECT_EQ(walk(it), (std::vector<long>{0, 1, 2}));
  }
  s.levelLimit = -4;
  {
    TLocationIterator it(&s);
    EXPECT_TRUE(it.isEmpty());
  }
}

TEST_F(LocationIteratorTest, LatitudeAndLongitudeBoundsAreInclusive) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  makeCurrentDatabase(data_, {makeRecord("Asia", "Japan", "Tokyo", "A", 1, 45.0f, 10, 0),
                              makeRecord("Asia", "Japan", "Tokyo", "B", 1, 45.0001f, 10, 1),
                              makeRecord("Asia", "Japan", "Tokyo", "C", 1, 44.9999f, 10, 2),
                              makeRecord("Asia", "Japan", "Tokyo", "D", 1, 45.0f, 20, 3),
                              makeRecord("Asia", "Japan", "Tokyo", "E", 1, nan, 10, 4),
                              makeRecord("Asia", "Japan", "Tokyo", "F", 1, 45.0f, nan, 5)});
  TLocationSelection s;
  s.continentList = entry("Asia", true);
  s.useLatLonLimits = true;
  s.minLatitude = s.maxLatitude = 45;
  s.minLongitude = 10;
  s.maxLongitude = 20;
  {
    TLocationIterator it(&s);
    EXPECT_EQ(walk(it), (std::vector<long>{0, 3}));
  }
  // No wrap-around: a western limit east of the eastern one admits nothing.
  s.minLongitude = 170;
  s.maxLongitude = -170;
  {
    TLocationIterator it(&s);
    EXPECT_TRUE(it.isEmpty());
  }
  // Switched off, the box is not applied; NaN coordinates are then listed.
  s.useLatLonLimits = false;
  {
    TLocationIterator it(&s);
    EXPECT_EQ(it.getNumLocations(), 6);
  }
}

TEST_F(LocationIteratorTest, NextPreviousAndAtStopAtTheEdges) {
  TLocationSelection s;
  s.continentList =
      entry("Europe", false,
            chain({entry("Austria", true), entry("Switzerland", false, entry("Bern", true))}));
  TLocationIterator it(&s);
  ASSERT_EQ(it.getNumLocations(), 3);
  EXPECT_TRUE(it.next());
  EXPECT_EQ(it.recordIndex, 1);
  EXPECT_TRUE(it.next());
  EXPECT_EQ(it.recordIndex, 2);
  EXPECT_FALSE(it.next());
  EXPECT_EQ(it.position, 2);
  EXPECT_STREQ(it.locData.name, "Thun");
  EXPECT_TRUE(it.previous());
  EXPECT_TRUE(it.previous());
  EXPECT_EQ(it.position, 0);
  EXPECT_STREQ(it.locData.name, "Innsbruck");
  EXPECT_FALSE(it.previous());
  EXPECT_EQ(it.position, 0);

  EXPECT_TRUE(it.at(2));
  EXPECT_STREQ(it.locData.name, "Thun");
  EXPECT_FALSE(it.at(3));
  EXPECT_FALSE(it.at(-1));
  EXPECT_EQ(it.position, 2);
  EXPECT_EQ(it.recordIndex, 2);
  EXPECT_STREQ(it.locData.name, "Thun");
  it.first();
  EXPECT_EQ(it.position, 0);
  EXPECT_STREQ(it.locData.name, "Innsbruck");
}

TEST_F(LocationIteratorTest, AtOnTwoEntries) {
  TLocationSelection s;
  s.continentList = entry("Europe", false, entry("Austria", true));
  TLocationIterator it(&s);
  ASSERT_EQ(it.getNumLocations(), 2);
  EXPECT_FALSE(it.at(2));
  EXPECT_EQ(it.position, 0);
  EXPECT_STREQ(it.locData.name, "Innsbruck");
  EXPECT_TRUE(it.at(1));
  EXPECT_EQ(it.position, 1);
  EXPECT_STREQ(it.locData.name, "Kufstein");
}

TEST_F(LocationIteratorTest, CursorStaysOnAMatch) {
  TLocationSelection s;
  // Two entries for one state list its locations twice; an entry before the
  // previous match in directory order is not found, nor anything after it.
  s.continentList = entry(
      "Europe", false,
      chain({entry("Switzerland", false,
                   chain({entry("Valais", true), entry("VALAIS", true), entry("Bern", true)})),
             entry("Austria", true)}));
  TLocationIterator it(&s);
  EXPECT_EQ(walk(it), (std::vector<long>{6, 4, 5, 3, 6, 4, 5, 3}));
}

TEST_F(LocationIteratorTest, ALocationNameOccurringTwiceIsListedOnce) {
  TLocationSelection s;
  s.continentList = entry(
      "Europe", false, entry("Switzerland", false, entry("Valais", false, entry("Sion", false))));
  {
    TLocationIterator it(&s);
    // The first Sion in the state's order: the higher level.
    EXPECT_EQ(walk(it), (std::vector<long>{4}));
  }
  // Under a level limit that drops it, the second Sion is not listed in
  // its place.
  s.levelLimit = 2;
  {
    TLocationIterator it(&s);
    EXPECT_TRUE(it.isEmpty());
  }
}

TEST_F(LocationIteratorTest, ListIsFixedOnceBuilt) {
  TLocationSelection s;
  s.continentList = entry("Europe", false, entry("Austria", true));
  TLocationIterator it(&s);
  // Now the selection would take everything, if the list could still grow.
  s.clear();
  s.continentList = chain({entry("Europe", true), entry("North America", true)});
  BMTFile* db = getMetDatabase();
  TISArrayAsVector<Continent>* continents = db->directory->getContinents();
  Location* whitehorse =
      (*(*(*(*continents)[1]->getCountries())[0]->getStates())[0]->getLocations())[0];
  it.writeIndexStream();
  it.addLocationIndex(whitehorse);
  EXPECT_EQ(it.getNumLocations(), 2);
  EXPECT_EQ(testsupport::readFile(it.tempFileName).size(), 8u);
  EXPECT_EQ(walk(it), (std::vector<long>{0, 1}));
}

TEST_F(LocationIteratorTest, RecordsComeFromTheDatabaseCurrentAtEachMove) {
  TLocationSelection s;
  s.continentList = entry("Europe", false, entry("Austria", true));
  TLocationIterator it(&s);
  TempDir other;
  std::vector<LocationData> records = smallWorld();
  std::strcpy(records[1].name, "Elsewhere");
  makeCurrentDatabase(other, records);
  EXPECT_TRUE(it.next());
  EXPECT_STREQ(it.locData.name, "Elsewhere");
}

TEST_F(LocationIteratorTest, ALentDatabaseIsWalkedAndNeverDeletedByTheLibrary) {
  TempDir other;
  std::vector<LocationData> records = smallWorld();
  std::strcpy(records[1].name, "Lent");
  std::string path = other.file("lent.bmt");
  testsupport::writeFile(path, testsupport::bytesOf(records));
  auto lent = std::make_unique<BMTFile>(path.c_str());
  lendMetDatabase(lent.get());
  EXPECT_EQ(getMetDatabase(), lent.get());
  TLocationSelection s;
  s.continentList = entry("Europe", false, entry("Austria", true));
  {
    TLocationIterator it(&s);
    EXPECT_TRUE(it.next());
    EXPECT_STREQ(it.locData.name, "Lent");
  }
  // Replacing or closing only forgets it: the owner deletes it (a double
  // deletion would show under the sanitizers).
  closeMetDatabase();
  lendMetDatabase(lent.get());
  makeCurrentDatabase(other, smallWorld());
  EXPECT_NE(getMetDatabase(), lent.get());
  lendMetDatabase(nullptr);  // the library's own stays
  EXPECT_NE(getMetDatabase(), lent.get());
  EXPECT_TRUE(lent->IsValid());
}

TEST_F(LocationIteratorTest, ManyLocationsPassThroughTheWriteBuffer) {
  std::vector<LocationData> records;
  for (int i = 0; i < 40000; ++i) {
    char name[21];
    std::snprintf(name, sizeof name, "L%06d", i);
    records.push_back(makeRecord("Asia", "India", "Goa", name, 1, 1, 1, i % 30000));
  }
  makeCurrentDatabase(data_, records);
  TLocationSelection s;
  s.continentList = entry("Asia", true);
  TLocationIterator it(&s);
  ASSERT_EQ(it.getNumLocations(), 40000);
  EXPECT_EQ(testsupport::readFile(it.tempFileName).size(), 160000u);
  ASSERT_TRUE(it.at(39999));
  EXPECT_EQ(it.recordIndex, 39999);
  EXPECT_STREQ(it.locData.name, "L039999");
  ASSERT_TRUE(it.at(16384));
  EXPECT_EQ(it.recordIndex, 16384);
}

TEST_F(LocationIteratorTest, FailureOfTheFirstLoadLeavesNoFile) {
  TLocationSelection s;
  s.continentList = entry("Europe", true);
  getMetDatabase()->stream.close();  // as if its data file could no longer be read
  BMTFile* thrown = nullptr;
  try {
    TLocationIterator it(&s);
    ADD_FAILURE() << "no failure raised";
  } catch (BMTFile* db) {
    thrown = db;
  }
  EXPECT_EQ(thrown, getMetDatabase());
  EXPECT_TRUE(indexFiles(work_.path()).empty());
}

TEST_F(LocationIteratorTest, FailureOfAMoveHasMovedAndStillRemovesTheFile) {
  TLocationSelection s;
  s.continentList = entry("Europe", true);
  std::string file;
  {
    TLocationIterator it(&s);
    file = it.tempFileName;
    getMetDatabase()->stream.close();
    EXPECT_THROW(it.next(), BMTFile*);
    EXPECT_EQ(it.position, 1);
    EXPECT_THROW(it.at(5), BMTFile*);
    EXPECT_EQ(it.position, 5);
  }
  EXPECT_FALSE(testsupport::fileExists(file));
}

TEST_F(LocationIteratorTest, UnreadableIndexGivesNoStaleRecord) {
  TLocationSelection s;
  s.continentList = entry("Europe", true);
  TLocationIterator it(&s);
  ASSERT_EQ(truncate(it.tempFileName, 4), 0);
  // The index file is read ahead from where a walk starts.
  it.first();
  EXPECT_TRUE(it.next());
  EXPECT_EQ(it.recordIndex, -1);
  EXPECT_EQ(it.locData.name[0], '\0');
  EXPECT_EQ(int{it.locData.auxValue}, 0);
}

TEST_F(LocationIteratorTest, FallsBackToTheTemporaryFolderWhenTheCurrentOneIsGone) {
  TempDir tmp;
  ScopedEnv env("TMPDIR", tmp.path());
  std::string gone = work_.file("gone");
  ASSERT_EQ(mkdir(gone.c_str(), 0700), 0);
  TLocationSelection s;
  s.continentList = entry("Europe", false, entry("Austria", true));
  std::string file;
  {
    ScopedCwd in(gone);
    ASSERT_EQ(rmdir(gone.c_str()), 0);
    TLocationIterator it(&s);
    file = it.tempFileName;
    EXPECT_EQ(file.substr(0, tmp.path().size() + 4), tmp.path() + "/TQ_");
    EXPECT_TRUE(testsupport::fileExists(file));
    EXPECT_EQ(walk(it), (std::vector<long>{0, 1}));
  }
  EXPECT_FALSE(testsupport::fileExists(file));
  EXPECT_TRUE(indexFiles(tmp.path()).empty());
}

TEST_F(LocationIteratorTest, FallsBackWhenTheCurrentPathDoesNotFitTheName) {
  TempDir tmp;
  ScopedEnv env("TMPDIR", tmp.path());
  std::string deep = work_.path();
  while (deep.size() < 300) {
    deep += "/" + std::string(60, 'd');
    ASSERT_EQ(mkdir(deep.c_str(), 0700), 0);
  }
  TLocationSelection s;
  s.continentList = entry("Europe", false, entry("Austria", true));
  {
    ScopedCwd in(deep);
    TLocationIterator it(&s);
    EXPECT_EQ(std::string(it.tempFileName).substr(0, tmp.path().size() + 4), tmp.path() + "/TQ_");
    EXPECT_EQ(walk(it), (std::vector<long>{0, 1}));
    EXPECT_TRUE(indexFiles(deep).empty());
  }
  EXPECT_TRUE(indexFiles(tmp.path()).empty());
}

TEST_F(LocationIteratorTest, FatalWhenNoFolderTakesTheFile) {
  TLocationSelection s;
  s.continentList = entry("Europe", true);
  std::string gone = work_.file("gone");
  std::string missing = work_.file("missing");
  EXPECT_EXIT(
      {
        setenv("TMPDIR", missing.c_str(), 1);
        if (mkdir(gone.c_str(), 0700) != 0 || chdir(gone.c_str()) != 0 || rmdir(gone.c_str()) != 0)
          _exit(3);
        TLocationIterator it(&s);
        _exit(0);
      },
      testing::ExitedWithCode(1), "^TARVELIN: Fatal Error: Cannot create a new temporary file.\n$");
}

TEST_F(LocationIteratorTest, FatalWhenWritesFailInBothFolders) {
  TempDir tmp;
  ScopedEnv env("TMPDIR", tmp.path());
  TLocationSelection s;
  s.continentList = entry("Europe", true);
  // Seven indices need 28 bytes; neither folder's file may pass 16.
  int status = testsupport::runWithFileSizeLimit(16, [&] {
    TLocationIterator it(&s);
    return 0;
  });
  EXPECT_EQ(status, 1);
  EXPECT_TRUE(indexFiles(work_.path()).empty());
  EXPECT_TRUE(indexFiles(tmp.path()).empty());
}

}  // namespace
