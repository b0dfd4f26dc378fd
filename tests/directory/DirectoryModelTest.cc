#include <gtest/gtest.h>

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

TEST(DirectoryModelTest, NewDirectoryIsEmptyAndSafe) {
  Directory d("x.dir");
  EXPECT_EQ(d.fileName, "x.dir");
  EXPECT_TRUE(d.IsEmpty());
  EXPECT_EQ(d.getLocationIndex(), -1);
  EXPECT_EQ(d.getLocationName(), nullptr);
  EXPECT_EQ(d.getLocation(0), nullptr);
  EXPECT_EQ(d.getLocationList(0), nullptr);
  EXPECT_TRUE(d.next());
  EXPECT_EQ(d.getLocationIndex(), -1);
  d.setLocationIndex(7);  // no current location: nothing happens
  d.first();
  EXPECT_EQ(d.getLocationIndex(), -1);
  EXPECT_EQ(d.curCountries, nullptr);
  EXPECT_FALSE(d.deleteEntry());
  EXPECT_FALSE(d.changed);
  EXPECT_EQ(d.locList->capacity(), 1001u);
  EXPECT_FALSE(d.locList->ownsElements());
  EXPECT_EQ(d.continents->capacity(), 11u);
  EXPECT_TRUE(d.continents->ownsElements());
  EXPECT_EQ(Directory(nullptr).fileName, "");
}

TEST(DirectoryModelTest, WalksInHierarchyOrderAndWrapsAround) {
  Directory d("x.dir");
  Filler f(&d);
  f.add(record("europe", "Norway", "Oslo", "Oslo", 1));
  f.add(record("europe", "Norway", "Oslo", "OSLO", 3));
  f.add(record("Asia", "Japan", "Tokyo", "Tokyo"));
  d.first();
  EXPECT_EQ(here(d), "Asia/Japan/Tokyo/Tokyo#2");
  EXPECT_TRUE(d.next());
  EXPECT_EQ(here(d), "europe/Norway/Oslo/OSLO#1");  // the higher level first
  EXPECT_TRUE(d.next());
  EXPECT_EQ(here(d), "europe/Norway/Oslo/Oslo#0");
  EXPECT_FALSE(d.next());
  EXPECT_EQ(here(d), "Asia/Japan/Tokyo/Tokyo#2");  // already on the first again
  // A second walk needs no first().
  EXPECT_TRUE(d.next());
  EXPECT_EQ(here(d), "europe/Norway/Oslo/OSLO#1");
}

TEST(DirectoryModelTest, EmptyRecordsAreStepsWithoutALocation) {
  Directory d("x.dir");
  Continent* a = new Continent("A");
  Continent* b = new Continent("B");  // no countries
  Continent* c = new Continent("C");
  d.continents->add(a);
  d.continents->add(b);
  d.continents->add(c);
  Country* a1 = new Country("A1");
  Country* a2 = new Country("A2");  // no states
  a->getCountries()->add(a1);
  a->getCountries()->add(a2);
  State* s1 = new State("S1");
  State* s2 = new State("S2");  // no locations
  a1->getStates()->add(s1);
  a1->getStates()->add(s2);
  Location* x = new Location("x");
  x->locationIndex = 4;
  s1->getLocations()->add(x);
  d.locList->add(x);
  Country* c1 = new Country("C1");
  c->getCountries()->add(c1);
  State* t = new State("T");
  c1->getStates()->add(t);
  Location* y = new Location("y");
  y->locationIndex = 9;
  t->getLocations()->add(y);
  d.locList->add(y);
  d.locationCount = 2;

  EXPECT_EQ(walk(d), (Steps{"A/A1/S1/x#4", "-", "-", "-", "C/C1/T/y#9"}));
  EXPECT_EQ(here(d), "A/A1/S1/x#4");
}

TEST(DirectoryModelTest, FirstWithoutCountryOrStateLeavesNoLocation) {
  Directory d("x.dir");
  d.continents->add(new Continent("Empty"));
  d.first();
  EXPECT_EQ(d.curCountries, (*d.continents)[0]->getCountries());
  EXPECT_EQ(d.curStates, nullptr);
  EXPECT_EQ(d.curLocations, nullptr);
  EXPECT_EQ(d.getLocationIndex(), -1);
  EXPECT_FALSE(d.next());  // the only step was the gap

  (*d.continents)[0]->getCountries()->add(new Country("NoStates"));
  d.first();
  EXPECT_NE(d.curStates, nullptr);
  EXPECT_EQ(d.curLocations, nullptr);
  EXPECT_EQ(d.getLocationName(), nullptr);
  EXPECT_FALSE(d.deleteEntry());
}

TEST(DirectoryModelTest, LookUpsByNameIgnoreCaseAndTakeTheFirst) {
  Directory d("x.dir");
  Filler f(&d);
  f.add(record("europe", "Norway", "Hordaland", "Bergen", 1));
  f.add(record("europe", "Norway", "Hordaland", "Bergen", 4));
  f.add(record("europe", "Norway", "Hordaland", "Voss", 1));
  Continent* europe = d.getContinent("EUROPE");
  ASSERT_NE(europe, nullptr);
  EXPECT_EQ(std::string(*europe), "europe");
  EXPECT_EQ(d.getContinent("Asia"), nullptr);
  EXPECT_EQ(d.getCountries(europe), europe->getCountries());
  Country* norway = d.getCountry("norway", d.getCountries(europe));
  ASSERT_NE(norway, nullptr);
  EXPECT_EQ(d.getStates(norway), norway->getStates());
  State* hordaland = d.getState("HORDALAND", d.getStates(norway));
  ASSERT_NE(hordaland, nullptr);
  EXPECT_EQ(d.getLocations(hordaland), hordaland->getLocations());
  Location* bergen = d.getLocation("bergen", d.getLocations(hordaland));
  ASSERT_NE(bergen, nullptr);
  EXPECT_EQ(bergen->level, 4);  // the lower position holds the higher level
  EXPECT_EQ(d.getLocation("Oslo", d.getLocations(hordaland)), nullptr);
  EXPECT_EQ(d.getCountry("Norway", nullptr), nullptr);
  EXPECT_EQ(d.getStates(nullptr), nullptr);
}

TEST(DirectoryModelTest, LocationListByPosition) {
  Directory d("x.dir");
  fillScandinavia(&d);
  EXPECT_EQ(d.getLocation(-1), nullptr);
  EXPECT_EQ(d.getLocation(static_cast<int>(d.locationCount)), nullptr);
  ASSERT_NE(d.getLocation(2), nullptr);
  EXPECT_EQ(std::string(*d.getLocation(2)), "Voss");
  EXPECT_EQ(d.locList->capacity(), 1001u);  // nothing grew
  d.setLocListIndices();
  for (int p = 0; p < 3; ++p) EXPECT_EQ(d.getLocation(p)->locListIndex, p);
}

TEST(DirectoryModelTest, CursorAccessors) {
  Directory d("x.dir");
  fillScandinavia(&d);
  d.first();
  EXPECT_STREQ(d.getLocationName(), "Bergen");
  ASSERT_NE(d.getLocationList(0), nullptr);
  EXPECT_EQ(d.getLocationList(0)->count(), 2u);
  EXPECT_EQ(d.getLocationList(static_cast<int>(d.curStates->count())), nullptr);
  EXPECT_EQ(d.getLocationList(-1), nullptr);
  d.setLocationIndex(40);
  EXPECT_EQ(d.getLocationIndex(), 40);
  EXPECT_EQ(d.getLocation(0)->locationIndex, 40);
}

}  // namespace
