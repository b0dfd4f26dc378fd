#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "datafile/LocationData.h"
#include "module/CurrentDatabase.h"
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

// Every test gets a fresh current database (smallWorld unless it makes
// another) and runs in its own folder, which must hold no index file after
// each check.
class SelectionCheckTest : public testing::Test {
 protected:
  void SetUp() override {
    makeCurrentDatabase(data_, smallWorld());
    cwd_ = std::make_unique<ScopedCwd>(work_.path());
  }
  void TearDown() override {
    EXPECT_TRUE(testsupport::listFolder(work_.path()).empty());
    cwd_.reset();
  }

  TempDir data_;
  TempDir work_;
  std::unique_ptr<ScopedCwd> cwd_;
};

TEST_F(SelectionCheckTest, NoListsIsAllThereAndSelectsNothing) {
  TLocationSelection s;
  EXPECT_TRUE(s.allSelectionInMetDB());
  EXPECT_TRUE(s.noSelection());
}

TEST_F(SelectionCheckTest, EmptyDirectoryHoldsNoEntry) {
  makeCurrentDatabase(data_, {});
  ASSERT_TRUE(getMetDatabase()->directory->IsEmpty());
  TLocationSelection s;
  s.continentList = entry("Europe", true);
  EXPECT_FALSE(s.allSelectionInMetDB());
  EXPECT_TRUE(s.noSelection());
  EXPECT_TRUE(s.allCountriesInMetDB(nullptr, nullptr));
  EXPECT_FALSE(s.allCountriesInMetDB(nullptr, s.continentList));
}

TEST_F(SelectionCheckTest, WholeContinentIsMatchedByNameAlone) {
  TLocationSelection s;
  s.continentList = entry("Europe", true, entry("Atlantis", false, entry("Nowhere", true)));
  EXPECT_TRUE(s.allSelectionInMetDB());
  EXPECT_FALSE(s.noSelection());
  // Selected only when some location under it passes the limits.
  s.levelLimit = 0;
  EXPECT_TRUE(s.noSelection());
  s.levelLimit = 5;
  s.useLatLonLimits = true;
  s.minLatitude = 50;
  EXPECT_TRUE(s.noSelection());
  s.minLatitude = 47.5f;
  EXPECT_FALSE(s.noSelection());  // Kufstein

  s.continentList->name[0] = 'X';
  EXPECT_FALSE(s.allSelectionInMetDB());
  EXPECT_TRUE(s.noSelection());
}

TEST_F(SelectionCheckTest, NamesDifferingOnlyInCaseAreFound) {
  TLocationSelection s;
  s.continentList =
      entry("EUROPE", false,
            entry("switzerland", false, entry("VaLaIs", false, chain({entry("SION", false)}))));
  EXPECT_TRUE(s.allSelectionInMetDB());
  EXPECT_FALSE(s.noSelection());
}

TEST_F(SelectionCheckTest, EveryLevelIsChecked) {
  TLocationSelection s;
  TLocList* valais = entry("Valais", false, chain({entry("Brig", false), entry("Zermatt", false)}));
  s.continentList =
      chain({entry("Europe", false,
                   chain({entry("Austria", false, entry("Tyrol", true)),
                          entry("Switzerland", false, chain({entry("Bern", false), valais}))})),
             entry("North America", true)});
  EXPECT_TRUE(s.allSelectionInMetDB());
  // A missing location, state or country fails the whole check.
  valais->subList->nextEntry->name[0] = 'Y';
  EXPECT_FALSE(s.allSelectionInMetDB());
  valais->subList->nextEntry->name[0] = 'Z';
  valais->name[0] = 'W';
  EXPECT_FALSE(s.allSelectionInMetDB());
  valais->name[0] = 'V';
  s.continentList->subList->name[0] = 'O';
  EXPECT_FALSE(s.allSelectionInMetDB());
  s.continentList->subList->name[0] = 'A';
  EXPECT_TRUE(s.allSelectionInMetDB());
}

TEST_F(SelectionCheckTest, SelectAllFalseWithoutSubListPassesOnItsName) {
  TLocationSelection s;
  s.continentList = entry("Europe", false, entry("Austria", false));
  EXPECT_TRUE(s.allSelectionInMetDB());
  // It passes, but selects nothing.
  EXPECT_TRUE(s.noSelection());
}

TEST_F(SelectionCheckTest, LocationEntriesAreMatchedByNameAlone) {
  TLocationSelection s;
  s.continentList =
      entry("Europe", false,
            entry("Austria", false,
                  entry("Tyrol", false, entry("Innsbruck", false, entry("Nowhere", false)))));
  EXPECT_TRUE(s.allSelectionInMetDB());
}

TEST_F(SelectionCheckTest, CountriesInReverseOrderFail) {
  TLocationSelection s;
  s.continentList =
      entry("Europe", false, chain({entry("Switzerland", true), entry("Austria", true)}));
  EXPECT_FALSE(s.allSelectionInMetDB());
  // The iterator finds the first and skips the second.
  EXPECT_FALSE(s.noSelection());
}

TEST_F(SelectionCheckTest, MissingFirstContinentFailsEvenWhenTheSecondExists) {
  TLocationSelection s;
  s.continentList = chain({entry("Antarctica", true), entry("Europe", true)});
  EXPECT_FALSE(s.allSelectionInMetDB());
}

TEST_F(SelectionCheckTest, AllThereButEveryLocationAboveTheLevelLimit) {
  TLocationSelection s;
  s.continentList = chain({entry("Europe", true), entry("North America", true)});
  s.levelLimit = 0;
  EXPECT_TRUE(s.allSelectionInMetDB());
  EXPECT_TRUE(s.noSelection());
}

TEST_F(SelectionCheckTest, TwoEntriesOfOneNameNeedTheNameTwiceInTheDirectory) {
  TLocationSelection s;
  s.continentList = entry("Europe", false, chain({entry("Austria", true), entry("austria", true)}));
  EXPECT_FALSE(s.allSelectionInMetDB());
  s.deleteList(s.continentList);

  // Records that leave one country's group and come back make the directory
  // hold that country twice.
  makeCurrentDatabase(data_, {makeRecord("Europe", "France", "Alsace", "Colmar"),
                              makeRecord("Europe", "Germany", "Saxony", "Leipzig"),
                              makeRecord("Europe", "France", "Alsace", "Mulhouse")});
  s.continentList =
      entry("Europe", false,
            chain({entry("France", true), entry("FRANCE", true), entry("Germany", true)}));
  EXPECT_TRUE(s.allSelectionInMetDB());
  s.continentList->subList->nextEntry->nextEntry->nextEntry = entry("France", true);
  EXPECT_FALSE(s.allSelectionInMetDB());
}

TEST_F(SelectionCheckTest, ChecksChangeNeitherTheSelectionNorTheDirectory) {
  TLocationSelection s;
  selectiontest::fillAlps(s);
  std::string before = selectiontest::listText(s.continentList);
  Directory* directory = getMetDatabase()->directory;
  std::vector<long> walk = testsupport::walkIndices(directory);
  s.allSelectionInMetDB();
  s.noSelection();
  EXPECT_EQ(selectiontest::listText(s.continentList), before);
  EXPECT_EQ(testsupport::walkIndices(directory), walk);
  EXPECT_EQ(getMetDatabase()->directory, directory);
}

}  // namespace
