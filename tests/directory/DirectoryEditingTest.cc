#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "directory/Directory.h"
#include "tests/directory/DirectoryTestUtil.h"

namespace {

using directorytest::Filler;
using directorytest::fillScandinavia;
using directorytest::here;
using directorytest::record;
using directorytest::walk;
using Steps = std::vector<std::string>;

// Every location of the hierarchy is in locList exactly once and locList
// holds nothing else.
void expectConsistent(Directory& d) {
  std::vector<Location*> inHierarchy;
  for (unsigned i = 0; i < d.continents->count(); ++i) {
    auto* countries = (*d.continents)[i]->getCountries();
    for (unsigned j = 0; j < countries->count(); ++j) {
      auto* states = (*countries)[j]->getStates();
      for (unsigned k = 0; k < states->count(); ++k) {
        auto* locations = (*states)[k]->getLocations();
        for (unsigned m = 0; m < locations->count(); ++m) inHierarchy.push_back((*locations)[m]);
      }
    }
  }
  std::vector<Location*> listed;
  for (unsigned p = 0; p < d.locList->count(); ++p) listed.push_back((*d.locList)[p]);
  std::sort(inHierarchy.begin(), inHierarchy.end());
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(inHierarchy, listed);
  EXPECT_EQ(d.locationCount, static_cast<long>(d.locList->count()));
}

TEST(AddOrderedEntryTest, GroupsConsecutiveRecords) {
  Directory d("x.dir");
  Filler f(&d);
  f.add(record("Europe", "Norway", "Hordaland", "Bergen", 2, 60.3913f, 5.3221f));
  f.add(record("Europe", "Norway", "Hordaland", "Voss", 1, 60.6280f, 6.4180f));
  f.add(record("Europe", "Sweden", "Skane", "Lund", 1, 55.7047f, 13.1910f));
  EXPECT_EQ(d.continents->count(), 1u);
  EXPECT_EQ((*d.continents)[0]->getCountries()->count(), 2u);
  EXPECT_EQ(d.locationCount, 3);
  EXPECT_TRUE(d.changed);
  EXPECT_STREQ(f.previous().name, "Lund");
  EXPECT_STREQ(f.previous().state, "Skane");
  EXPECT_STREQ(f.previous().country, "Sweden");
  EXPECT_STREQ(f.previous().continent, "Europe");
  EXPECT_EQ(walk(d), (Steps{"Europe/Norway/Hordaland/Bergen#0", "Europe/Norway/Hordaland/Voss#1",
                            "Europe/Sweden/Skane/Lund#2"}));
  EXPECT_EQ(std::string(*d.lastLocation), "Lund");
  EXPECT_EQ(std::string(*d.lastState), "Skane");
  Location* bergen = (*d.locList)[0];
  EXPECT_EQ(bergen->level, 2);
  EXPECT_EQ(bergen->latitude, 60.3913f);
  EXPECT_EQ(bergen->locationIndex, 0);
  expectConsistent(d);
}

TEST(AddOrderedEntryTest, AReturningContinentOpensASecondOne) {
  Directory d("x.dir");
  Filler f(&d);
  f.add(record("Europe", "Norway", "N", "a"));
  f.add(record("Asia", "Japan", "J", "b"));
  f.add(record("Europe", "Norway", "N", "c"));
  ASSERT_EQ(d.continents->count(), 3u);
  EXPECT_EQ(std::string(*(*d.continents)[0]), "Asia");
  EXPECT_EQ(std::string(*(*d.continents)[1]), "Europe");
  EXPECT_EQ(std::string(*(*d.continents)[2]), "Europe");
  EXPECT_EQ(walk(d), (Steps{"Asia/Japan/J/b#1", "Europe/Norway/N/a#0", "Europe/Norway/N/c#2"}));
  EXPECT_EQ(d.getContinent("europe"), (*d.continents)[1]);
}

TEST(AddOrderedEntryTest, LetterCaseJoinsAndAChangeAboveOpensAnew) {
  Directory d("x.dir");
  Filler f(&d);
  f.add(record("Europe", "Norway", "Oslo", "a"));
  f.add(record("EUROPE", "NORWAY", "oslo", "b"));
  ASSERT_EQ(d.continents->count(), 1u);
  EXPECT_EQ(std::string(*(*d.continents)[0]), "Europe");
  EXPECT_EQ(d.lastState->getLocations()->count(), 2u);
  // The previous record takes the new letter case, even where the group goes on.
  EXPECT_STREQ(f.previous().continent, "EUROPE");
  EXPECT_STREQ(f.previous().country, "NORWAY");
  EXPECT_STREQ(f.previous().state, "oslo");
  // Bytes after a terminator are no part of a name.
  LocationData same = record("EUROPE", "NORWAY", "oslo", "c");
  std::memset(same.state + 5, 'x', sizeof same.state - 5);
  f.add(same);
  EXPECT_EQ(d.lastState->getLocations()->count(), 3u);
  EXPECT_STREQ(f.previous().state, "oslo");

  f.add(record("Asia", "Norway", "Oslo", "c"));
  f.add(record("Europe", "Norway", "Oslo", "d"));  // same country and state as before
  ASSERT_EQ(d.continents->count(), 3u);
  Continent* second = (*d.continents)[2];
  ASSERT_EQ(second->getCountries()->count(), 1u);
  EXPECT_EQ((*second->getCountries())[0], d.lastCountry);
  EXPECT_EQ(d.lastState->getLocations()->count(), 1u);

  // A change of country opens a new state of the same name.
  f.add(record("Europe", "Sweden", "Oslo", "e"));
  EXPECT_EQ(second->getCountries()->count(), 2u);
  EXPECT_EQ(d.lastState->getLocations()->count(), 1u);
}

TEST(AddOrderedEntryTest, EmptyFirstNamesStillOpenEveryGroup) {
  Directory d("x.dir");
  Filler f(&d);
  f.add(record("", "", "", ""));
  f.add(record("", "", "", "second"));
  ASSERT_EQ(d.continents->count(), 1u);
  EXPECT_EQ(std::string(*(*d.continents)[0]), "");
  EXPECT_EQ(d.lastState->getLocations()->count(), 2u);
  EXPECT_EQ(walk(d), (Steps{"///#0", "///second#1"}));
}

TEST(AddOrderedEntryTest, DuplicatesAreBothKept) {
  Directory d("x.dir");
  Filler f(&d);
  LocationData r = record("Europe", "Norway", "N", "Bergen", 1, 60, 5);
  f.add(r);
  f.add(r);
  EXPECT_EQ(d.locList->count(), 2u);
  EXPECT_EQ((*d.locList)[0]->locationIndex, 0);
  EXPECT_EQ((*d.locList)[1]->locationIndex, 1);
  EXPECT_EQ(walk(d), (Steps{"Europe/Norway/N/Bergen#0", "Europe/Norway/N/Bergen#1"}));
}

TEST(AddOrderedEntryTest, UnterminatedFieldsAreReadWithinTheirBounds) {
  Directory d("x.dir");
  LocationData r;
  std::memset(r.name, 'n', sizeof r.name);
  std::memset(r.state, 's', sizeof r.state);
  std::memset(r.country, 'c', sizeof r.country);
  std::memset(r.continent, 'k', sizeof r.continent);
  LocationData previous;
  d.addOrderedEntry(r, previous, 0);
  d.addOrderedEntry(r, previous, 1);  // the same groups again
  ASSERT_EQ(d.continents->count(), 1u);
  EXPECT_EQ(std::string(*(*d.continents)[0]), std::string(21, 'k'));
  EXPECT_EQ(std::string(*d.lastCountry), std::string(31, 'c'));
  EXPECT_EQ(std::string(*d.lastState), std::string(31, 's'));
  EXPECT_EQ(d.lastState->getLocations()->count(), 2u);
  EXPECT_EQ(std::string(*d.lastLocation), std::string(21, 'n'));
  EXPECT_EQ(std::memcmp(previous.continent, r.continent, sizeof r.continent), 0);

  // The previous record may be the new one itself.
  LocationData self = record("A", "B", "C", "D");
  d.addOrderedEntry(self, self, 2);
  EXPECT_STREQ(self.name, "D");
}

TEST(DeleteEntryTest, FirstOfTwoLeavesTheCursorOnTheSecond) {
  Directory d("x.dir");
  fillScandinavia(&d);
  Directory fresh("y.dir");
  fresh.first();
  EXPECT_FALSE(fresh.deleteEntry());
  EXPECT_FALSE(fresh.changed);

  d.changed = false;
  d.first();  // Bergen
  EXPECT_FALSE(d.deleteEntry());
  EXPECT_TRUE(d.changed);
  EXPECT_EQ(d.getLocationIndex(), 1);  // Voss, without next()
  EXPECT_EQ(d.locationCount, 2);
  expectConsistent(d);
}

TEST(DeleteEntryTest, LastOfAStateLeavesAGapThenMovesOn) {
  Directory d("x.dir");
  fillScandinavia(&d);
  d.first();
  d.next();  // Voss, the last of Hordaland
  EXPECT_FALSE(d.deleteEntry());
  EXPECT_EQ(d.getLocationIndex(), -1);
  d.changed = false;
  EXPECT_FALSE(d.deleteEntry());  // past the end of the state: nothing
  EXPECT_FALSE(d.changed);
  EXPECT_TRUE(d.next());
  EXPECT_EQ(here(d), "Europe/Sweden/Skane/Lund#2");
  expectConsistent(d);
}

TEST(DeleteEntryTest, PrunesEveryLevelAndMovesToWhatFollowed) {
  Directory d("x.dir");
  Filler f(&d);
  f.add(record("Asia", "Japan", "Tokyo", "t"));
  f.add(record("Europe", "Norway", "Hordaland", "b"));
  f.add(record("Europe", "Norway", "Oslo", "o"));
  f.add(record("Europe", "Sweden", "Skane", "l"));

  // The only location of a state that has a following state.
  d.first();
  d.next();  // b
  EXPECT_FALSE(d.deleteEntry());
  EXPECT_EQ(here(d), "Europe/Norway/Oslo/o#2");
  // The only state of a country that has a following country.
  EXPECT_FALSE(d.deleteEntry());
  EXPECT_EQ(here(d), "Europe/Sweden/Skane/l#3");
  // The only country of a continent that is the last: the cursor is unset.
  EXPECT_TRUE(d.deleteEntry());
  EXPECT_EQ(d.continents->count(), 1u);
  EXPECT_EQ(d.curCountries, nullptr);
  EXPECT_EQ(d.curStates, nullptr);
  EXPECT_EQ(d.curLocations, nullptr);
  EXPECT_EQ(d.continentPos, 0);
  EXPECT_EQ(d.getLocationIndex(), -1);
  // The last location of all.
  d.first();
  EXPECT_TRUE(d.deleteEntry());
  EXPECT_TRUE(d.IsEmpty());
  EXPECT_EQ(d.locationCount, 0);
  EXPECT_EQ(d.locList->count(), 0u);
}

TEST(DeleteEntryTest, AContinentThatIsNotTheLastHandsOverToTheNext) {
  Directory d("x.dir");
  Filler f(&d);
  f.add(record("Asia", "Japan", "Tokyo", "t"));
  f.add(record("Europe", "Norway", "Oslo", "o"));
  d.first();
  EXPECT_FALSE(d.deleteEntry());
  EXPECT_EQ(here(d), "Europe/Norway/Oslo/o#1");
  EXPECT_EQ(d.continentPos, 0);
  // A state that is last of its country but not the only one.
  f.add(record("Europe", "Norway", "Zeta", "z"));
  EXPECT_EQ(walk(d), (Steps{"Europe/Norway/Oslo/o#1", "Europe/Norway/Zeta/z#2"}));
  d.first();
  d.next();
  EXPECT_FALSE(d.deleteEntry());
  EXPECT_EQ(d.curLocations, nullptr);
  EXPECT_NE(d.curStates, nullptr);
  EXPECT_FALSE(d.next());
  EXPECT_EQ(here(d), "Europe/Norway/Oslo/o#1");
  expectConsistent(d);
}

TEST(DeleteEntryTest, EqualEntriesKeepTheOthers) {
  Directory d("x.dir");
  Filler f(&d);
  for (int i = 0; i < 7; ++i) f.add(record("E", "N", "S" + std::to_string(i), "Same", 1, 60, 5));
  f.add(record("E", "N", "T", "Other", 1, 60, 5));
  // Delete them in an order that does not follow the list.
  for (int target : {3, 0, 6, 1, 5, 2, 4}) {
    d.first();
    while (d.getLocationIndex() != target) ASSERT_TRUE(d.next());
    Location* gone = (*d.curLocations)[d.locationPos];
    d.deleteEntry();
    for (unsigned p = 0; p < d.locList->count(); ++p) EXPECT_NE((*d.locList)[p], gone);
    expectConsistent(d);
  }
  EXPECT_EQ(walk(d), (Steps{"E/N/T/Other#7"}));
}

TEST(DeleteEntryTest, NaNCoordinatesAreFoundByIdentity) {
  Directory d("x.dir");
  Filler f(&d);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (int i = 0; i < 20; ++i) {
    f.add(record("E", "N", "S", i % 2 ? "x" : "y", i % 3, i % 4 ? nan : 1.0f, i % 5 ? 2.0f : nan));
  }
  while (!d.IsEmpty()) {
    d.first();
    Location* gone = (*d.curLocations)[d.locationPos];
    d.deleteEntry();
    for (unsigned p = 0; p < d.locList->count(); ++p) EXPECT_NE((*d.locList)[p], gone);
    expectConsistent(d);
  }
  EXPECT_EQ(d.locList->count(), 0u);
}

TEST(DeleteEntryTest, FillingAfterDeletionsNeverUsesARemovedGroup) {
  Directory d("x.dir");
  Filler f(&d);
  f.add(record("Asia", "Japan", "Tokyo", "t"));
  d.first();
  EXPECT_TRUE(d.deleteEntry());
  EXPECT_EQ(d.lastContinent, nullptr);
  EXPECT_EQ(d.lastLocation, nullptr);
  f.add(record("Asia", "Japan", "Tokyo", "u"));  // same names as the previous record
  EXPECT_EQ(walk(d), (Steps{"Asia/Japan/Tokyo/u#1"}));
  expectConsistent(d);
}

TEST(DeleteEntryTest, AdditionsUnderTheCursorDoNotRemoveTheWrongRecord) {
  Directory d("x.dir");
  Filler f(&d);
  f.add(record("E", "N", "M", "m"));
  d.first();
  // A state that sorts before the current one moves it to position 1.
  f.add(record("E", "N", "A", "a"));
  EXPECT_EQ(d.statePos, 0);
  EXPECT_FALSE(d.deleteEntry());  // removes m and its state M, not A
  EXPECT_EQ(walk(d), (Steps{"E/N/A/a#1"}));
  expectConsistent(d);
}

// Deleting many at once leaves what deleting them one by one leaves: the
// same walk, no emptied group kept, none reused by later fills.
TEST(DeleteLocationsTest, LeavesWhatDeletingOneByOneLeaves) {
  auto fill = [](Directory* d) {
    Filler f(d);
    f.add(record("Asia", "Japan", "Tokyo", "t"));
    f.add(record("Europe", "Norway", "Hordaland", "Bergen"));
    f.add(record("Europe", "Norway", "Hordaland", "Voss"));
    f.add(record("Europe", "Norway", "Oslo", "Oslo"));
    f.add(record("Europe", "Sweden", "Skane", "Lund"));
    f.add(record("Europe", "Sweden", "Skane", "Same"));
    f.add(record("Europe", "Sweden", "Uppsala", "Same"));
    return f;
  };
  const std::vector<long> doomed{0, 2, 3, 4, 6};
  Directory one("one.dir");
  fill(&one);
  for (long target : doomed) {
    one.first();
    while (one.getLocationIndex() != target) ASSERT_TRUE(one.next());
    one.deleteEntry();
  }
  Directory many("many.dir");
  Filler f = fill(&many);
  long removed = many.deleteLocations([&](const Location& l) {
    return std::find(doomed.begin(), doomed.end(), l.locationIndex) != doomed.end();
  });
  EXPECT_EQ(removed, 5);
  EXPECT_TRUE(many.changed);
  EXPECT_EQ(walk(many), walk(one));
  EXPECT_EQ(walk(many), (Steps{"Europe/Norway/Hordaland/Bergen#1", "Europe/Sweden/Skane/Same#5"}));
  expectConsistent(many);
  many.first();
  EXPECT_EQ(here(many), "Europe/Norway/Hordaland/Bergen#1");
  // The last group filled was emptied: the next fill opens new ones.
  EXPECT_EQ(many.lastLocation, nullptr);
  f.add(record("Europe", "Sweden", "Uppsala", "Same"));
  EXPECT_EQ(walk(many).back(), "Europe/Sweden/Uppsala/Same#7");
  expectConsistent(many);
  EXPECT_EQ(many.deleteLocations([](const Location&) { return true; }), 3);
  EXPECT_TRUE(many.IsEmpty());
  EXPECT_EQ(many.curCountries, nullptr);
  expectConsistent(many);
}

}  // namespace
