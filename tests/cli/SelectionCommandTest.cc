// selection new, show and check, and lists walked from a saved selection.
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
using tooltest::Outcome;
using tooltest::run;

class SelectionTest : public tooltest::SampleDatabaseTest {};

TEST_F(SelectionTest, NewSavesTheFilteredTreeAndListReadsItBack) {
  Outcome o = tool({"selection", "new", "vest.sel", "--title", "West coast", "--country", "Norway",
                    "--name", "*o*", "--bbox", "55,0,70,20"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "Saved the selection \"West coast\" to vest.sel: 2 locations of this database.\n");
  EXPECT_EQ(readFile(dir.file("vest.sel")),
            "West coast\n1.10\nEurope\n0\n<\nNorway\n0\n<\nOslo\n0\n<\nOslo\n0\n>\n"
            "Vestland\n0\n<\nVoss\n0\n>\n>\n>\n>\n127 70 55 20 0 1");

  o = tool({"list", "--selection", "vest.sel"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "Oslo")) << o.out;
  EXPECT_TRUE(contains(o.out, "Voss")) << o.out;
  EXPECT_TRUE(contains(o.out, "2 locations.")) << o.out;

  o = tool({"selection", "new", "vest.sel"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "exists already; give --force")) << o.err;
}

// --name picks locations, as in list; the title is --title, by default the
// file's stem.
TEST_F(SelectionTest, NameFiltersAsInListAndTheTitleDefaultsToTheFileName) {
  Outcome o = tool({"selection", "new", "b.sel", "--name", "B*"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "Saved the selection \"b\" (titled after the file; --title gives another) to b.sel: "
            "1 location of this database.\n");
  o = tool({"list", "--selection", "b.sel"});
  EXPECT_TRUE(contains(o.out, "Bergen")) << o.out;
  EXPECT_TRUE(contains(o.out, "1 location.")) << o.out;

  o = tool({"selection", "new", "t.sel", "--title", "two\nlines"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "The title \"two?lines\" holds a line break")) << o.err;
  EXPECT_FALSE(testsupport::fileExists(dir.file("t.sel")));
}

TEST_F(SelectionTest, ShowGivesTheTreeAndTheDescribingStrings) {
  ASSERT_EQ(tool({"selection", "new", "eu.sel", "--title", "EU", "--continent", "Europe",
                  "--level-limit", "2"})
                .status,
            0);
  Outcome o = run(dir, {"selection", "show", "eu.sel"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "Selection \"EU\" (eu.sel)\n"
            "  Europe  [continent, all of it]\n"
            "- Level Limit: 2\n"
            "Latitude: -90.00 to 90.00\n"
            "Longitude: -180.00 to 180.00\n"
            "Latitude and longitude limits are not applied.\n");
  writeFile(dir.file("old.sel"), "Old\n1.0\n>\n5 90 -90 180 -180 0");
  o = run(dir, {"selection", "show", "old.sel"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "\"old.sel\" is not a selection file of version 1.10")) << o.err;
  o = run(dir, {"selection", "show", "none.sel"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "Cannot open the selection file \"none.sel\"")) << o.err;
}

TEST_F(SelectionTest, CheckNamesTheMissingEntry) {
  writeFile(dir.file("good.sel"), "Good\n1.10\nEurope\n0\n<\nNorway\n1\n>\n>\n5 90 -90 180 -180 0");
  Outcome o = tool({"selection", "check", "good.sel"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "Every entry of the selection is in the database.\n"
            "The selection selects 3 locations.\n");

  writeFile(dir.file("bad.sel"),
            "Bad\n1.10\nEurope\n0\n<\nNorway\n0\n<\nVestland\n0\n<\nBergen\n0\nNarvik\n0\n>\n>\n"
            ">\n>\n5 90 -90 180 -180 0");
  o = tool({"selection", "check", "bad.sel"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.out, "\"Europe/Norway/Vestland/Narvik\" is missing")) << o.out;
  EXPECT_TRUE(contains(o.out, "selects 1 location.")) << o.out;

  writeFile(dir.file("high.sel"), "High\n1.10\nAfrica\n1\n>\n0 90 -90 180 -180 0");
  o = tool({"selection", "check", "high.sel"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.out, "Every entry of the selection is in the database.")) << o.out;
  EXPECT_TRUE(contains(o.out, "selects no location")) << o.out;
}

}  // namespace
