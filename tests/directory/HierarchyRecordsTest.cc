#include <gtest/gtest.h>

#include <cstring>

#include "directory/Continent.h"
#include "directory/Country.h"
#include "directory/Location.h"
#include "directory/State.h"

namespace {

TEST(VELDstringTest, EqualityIgnoresAsciiCaseOnly) {
  EXPECT_TRUE(VELDstring("Europe") == VELDstring("EUROPE"));
  EXPECT_TRUE(VELDstring("Europe") == "eUROPE");
  EXPECT_TRUE("europe" == VELDstring("EUROPE"));
  EXPECT_FALSE(VELDstring("Europe") == VELDstring("Europa"));
  EXPECT_TRUE(VELDstring("Europe") != "Europ");
  EXPECT_FALSE(VELDstring("\xc9TAT") == VELDstring("\xe9tat"));  // only ASCII folds
  EXPECT_EQ(VELDstring(static_cast<const char*>(nullptr)), VELDstring(""));
}

TEST(LocationOrderTest, NameThenHigherLevelThenLatitudeThenLongitude) {
  Location oslo1("Oslo"), oslo3("OSLO");
  oslo1.level = 1;
  oslo1.latitude = -50;
  oslo3.level = 3;
  oslo3.latitude = 80;
  EXPECT_TRUE(oslo3 < oslo1);
  EXPECT_FALSE(oslo1 < oslo3);

  Location a("bergen"), b("Bergen");
  a.latitude = 60;
  b.latitude = 61;
  EXPECT_TRUE(a < b);
  b.latitude = 60;
  a.longitude = 5;
  b.longitude = 4;
  EXPECT_TRUE(b < a);
  b.longitude = 5;
  EXPECT_FALSE(a < b);
  EXPECT_FALSE(b < a);
  EXPECT_TRUE(a == b);

  Location minus("X"), zero("x");
  minus.level = -1;
  EXPECT_TRUE(zero < minus);  // signed: -1 sorts after 0

  Location lund("Lund");
  EXPECT_TRUE(b < lund);
}

TEST(LocationOrderTest, RecordIndicesTakeNoPartInEquality) {
  Location a("Voss"), b("voss");
  a.locationIndex = 1;
  b.locationIndex = 2;
  a.locListIndex = 5;
  EXPECT_TRUE(a == b);
  b.level = 1;
  EXPECT_FALSE(a == b);
}

TEST(LocationOrderTest, BuildsFromRecordWithinFields) {
  LocationData d;
  std::memset(d.name, 'N', sizeof d.name);  // unterminated
  d.level = -7;
  d.latitude = 12.5f;
  d.longitude = -3.25f;
  Location l(d, 42);
  EXPECT_EQ(static_cast<const std::string&>(l), std::string(21, 'N'));
  EXPECT_EQ(l.level, -7);
  EXPECT_EQ(l.latitude, 12.5f);
  EXPECT_EQ(l.longitude, -3.25f);
  EXPECT_EQ(l.locationIndex, 42);
}

TEST(GroupOrderTest, StatesCountriesContinentsByNameIgnoringCase) {
  State texas("texas"), Texas("Texas"), utah("Utah");
  EXPECT_TRUE(texas == Texas);
  EXPECT_FALSE(texas < Texas);
  EXPECT_TRUE(Texas < utah);
  EXPECT_TRUE(utah == VELDstring("UTAH"));
  Country no("norway"), se("Sweden");
  EXPECT_TRUE(no < se);
  EXPECT_FALSE(no == se);
  Continent eu("Europe"), EU("EUROPE");
  EXPECT_TRUE(eu == EU);

  Country usa("USA");
  State* first = new State("texas");
  State* second = new State("Texas");
  ASSERT_TRUE(usa.getStates()->add(first));
  ASSERT_TRUE(usa.getStates()->add(second));
  EXPECT_EQ((*usa.getStates())[0], first);
  EXPECT_EQ((*usa.getStates())[1], second);
}

TEST(GroupOrderTest, ChildArraysHaveTheirCapacities) {
  State s("s");
  Country c("c");
  Continent k("k");
  EXPECT_EQ(s.getLocations()->capacity(), 21u);
  EXPECT_EQ(s.getLocations()->delta(), 10u);
  EXPECT_EQ(c.getStates()->capacity(), 11u);
  EXPECT_EQ(k.getCountries()->capacity(), 21u);
  EXPECT_TRUE(s.getLocations()->ownsElements());
}

// Run under AddressSanitizer, these show that a parent frees its whole
// subtree (a leak otherwise) and that an unowned list frees nothing (a
// use-after-free otherwise).
TEST(GroupOrderTest, DestroyingAContinentDeletesEverythingBelow) {
  auto* europe = new Continent("Europe");
  for (const char* cn : {"Norway", "Sweden"}) {
    Country* country = new Country(cn);
    europe->getCountries()->add(country);
    for (const char* sn : {"A", "B", "C"}) {
      State* state = new State(sn);
      country->getStates()->add(state);
      for (int i = 0; i < 25; ++i) state->getLocations()->add(new Location("L"));
    }
  }
  EXPECT_EQ((*(*europe->getCountries())[1]->getStates())[2]->getLocations()->count(), 25u);
  delete europe;
}

TEST(GroupOrderTest, UnownedArrayLeavesElementsAlive) {
  State s("s");
  {
    TISArrayAsVector<Location> list(1001, 0, 500);
    list.ownsElements(false);
    for (int i = 0; i < 3; ++i) {
      Location* l = new Location("x");
      s.getLocations()->add(l);
      list.add(l);
    }
  }
  ASSERT_EQ(s.getLocations()->count(), 3u);
  for (unsigned i = 0; i < 3; ++i) EXPECT_EQ(*(*s.getLocations())[i], "X");
}

}  // namespace
