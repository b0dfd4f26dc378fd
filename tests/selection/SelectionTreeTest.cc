#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>

#include "selection/TLocationSelection.h"
#include "tests/selection/SelectionTestUtil.h"
#include "tests/support/TempDir.h"

using selectiontest::chain;
using selectiontest::entry;
using selectiontest::fillAlps;
using selectiontest::listText;
using testsupport::TempDir;

namespace {

static_assert(!std::is_copy_constructible<TLocationSelection>::value, "");
static_assert(!std::is_copy_assignable<TLocationSelection>::value, "");

TEST(TLocListTest, ConstructorsCopyAtMost79Characters) {
  TLocList blank;
  EXPECT_STREQ(blank.name, "");
  EXPECT_FALSE(blank.selectAll);
  EXPECT_EQ(blank.subList, nullptr);
  EXPECT_EQ(blank.nextEntry, nullptr);

  std::string longName(200, 'q');
  TLocList cut(longName.c_str(), true);
  EXPECT_EQ(std::string(cut.name), longName.substr(0, 79));
  EXPECT_TRUE(cut.selectAll);
  EXPECT_EQ(cut.subList, nullptr);
  EXPECT_STREQ(TLocList(nullptr, false).name, "");
}

TEST(SelectionTreeTest, DefaultsAndClear) {
  TLocationSelection s;
  EXPECT_EQ(s.continentList, nullptr);
  EXPECT_STREQ(s.name, "");
  EXPECT_EQ(s.levelLimit, 5);
  EXPECT_EQ(s.maxLatitude, 90);
  EXPECT_EQ(s.minLatitude, -90);
  EXPECT_EQ(s.maxLongitude, 180);
  EXPECT_EQ(s.minLongitude, -180);
  EXPECT_FALSE(s.useLatLonLimits);

  fillAlps(s);
  s.clear();  // frees every entry: the sanitizer build checks for leaks
  EXPECT_EQ(s.continentList, nullptr);
  EXPECT_STREQ(s.name, "");
  EXPECT_EQ(s.levelLimit, 5);
  EXPECT_EQ(s.minLongitude, -180);
  EXPECT_FALSE(s.useLatLonLimits);
  s.clear();
  EXPECT_EQ(s.continentList, nullptr);
}

TEST(SelectionTreeTest, CopyListIsDeepAndIndependent) {
  TLocationSelection s;
  EXPECT_EQ(s.CopyList(nullptr), nullptr);

  fillAlps(s);
  const std::string original = listText(s.continentList);
  TLocList* copy = s.CopyList(s.continentList);
  EXPECT_EQ(listText(copy), original);
  EXPECT_NE(copy, s.continentList);
  EXPECT_NE(copy->subList, s.continentList->subList);

  s.deleteList(s.continentList);
  EXPECT_EQ(s.continentList, nullptr);
  EXPECT_EQ(listText(copy), original);
  std::strcpy(copy->name, "Asia");
  s.continentList = copy;  // handed back to the selection, which frees it
  EXPECT_STREQ(s.continentList->subList->nextEntry->name, "Switzerland");
}

TEST(SelectionTreeTest, WriteListClosesOnlySubLevels) {
  TLocationSelection s;
  TLocList* list = chain({entry("A", true, chain({entry("B", false), entry("C", true)})),
                          entry("D", false, entry("E", false, entry("F", true)))});
  EXPECT_EQ(listText(list), "A\n1\n<\nB\n0\nC\n1\n>\nD\n0\n<\nE\n0\n<\nF\n1\n>\n>\n");
  s.deleteList(list);
  EXPECT_EQ(listText(nullptr), "");
}

TEST(SelectionTreeTest, DescribingStrings) {
  TLocationSelection s;
  EXPECT_EQ(std::string(s.getLevelLimitString()), "- Level Limit: 5");
  EXPECT_EQ(std::string(s.getLongitudeString()), "Longitude: -180.00 to 180.00");
  EXPECT_EQ(std::string(s.getLatitudeString()), "Latitude: -90.00 to 90.00");
  s.levelLimit = -1;
  s.minLatitude = -12.5f;
  s.maxLatitude = 45.25f;
  s.minLongitude = 3.14159f;
  s.maxLongitude = 3.4e38f;  // the widest a float gets still fits
  EXPECT_EQ(std::string(s.getLevelLimitString()), "- Level Limit: -1");
  EXPECT_EQ(std::string(s.getLatitudeString()), "Latitude: -12.50 to 45.25");
  std::string longitude = s.getLongitudeString();
  EXPECT_EQ(longitude.rfind("Longitude: 3.14 to 3399999952", 0), 0u) << longitude;
  EXPECT_EQ(longitude.substr(longitude.size() - 3), ".00");
}

// A host may select a hundred thousand stations by name: a chain of a
// million entries goes through every operation on the ordinary stack.
TEST(SelectionTreeTest, MillionEntryChainIsWrittenReadCopiedAndDeleted) {
  const int kEntries = 1000000;
  TLocationSelection s;
  std::strcpy(s.name, "Stations");
  TLocList* state = new TLocList("Valais", false);
  TLocList** link = &state->subList;
  for (int i = 0; i < kEntries; ++i) {
    *link = new TLocList(std::to_string(i).c_str(), false);
    link = &(*link)->nextEntry;
  }
  s.continentList = entry("Europe", false, entry("Switzerland", false, state));

  TempDir dir;
  ASSERT_EQ(s.write(dir.file("big").c_str()), 1);
  s.clear();
  TLocationSelection back;
  ASSERT_EQ(back.read(dir.file("big").c_str()), 1);
  TLocList* copy = back.CopyList(back.continentList);
  back.deleteList(back.continentList);

  int count = 0;
  const TLocList* last = nullptr;
  for (const TLocList* e = copy->subList->subList->subList; e != nullptr; e = e->nextEntry) {
    last = e;
    ++count;
  }
  EXPECT_EQ(count, kEntries);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(std::string(last->name), std::to_string(kEntries - 1));
  back.deleteList(copy);
}

// Nesting built by a host is not bounded by the reader's limit: copying,
// writing and freeing use no call stack per level.
TEST(SelectionTreeTest, DeepHostBuiltNestingIsCopiedWrittenAndFreed) {
  const int kDepth = 200000;
  TLocationSelection s;
  TLocList** link = &s.continentList;
  for (int i = 0; i < kDepth; ++i) {
    *link = new TLocList("d", i % 2 == 0);
    (*link)->nextEntry = new TLocList("n", true);
    link = &(*link)->subList;
  }
  TLocList* copy = s.CopyList(s.continentList);
  int depth = 0;
  for (TLocList* e = copy; e != nullptr; e = e->subList) {
    ASSERT_NE(e->nextEntry, nullptr);
    ++depth;
  }
  EXPECT_EQ(depth, kDepth);
  s.deleteList(copy);

  TempDir dir;
  ASSERT_EQ(s.write(dir.file("deep").c_str()), 1);
  EXPECT_EQ(testsupport::readFile(dir.file("deep")).size(),
            std::string("\n1.10\n>\n5 90 -90 180 -180 0").size() + kDepth * 12u - 4);
  TLocationSelection back;
  EXPECT_EQ(back.read(dir.file("deep").c_str()), -1);  // deeper than the reader takes
  EXPECT_EQ(back.continentList, nullptr);
}

}  // namespace
