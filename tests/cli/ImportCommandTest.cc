// import as a user runs it, and the progress display it uses.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/ToolRun.h"
#include "tests/support/TempDir.h"
#include "tool/database/ProgressInfo.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;
using tooltest::contains;
using tooltest::Outcome;
using tooltest::readRecords;
using tooltest::run;
using Files = std::vector<std::string>;

TEST(ImportCommandTest, MergesAndShowsItsReport) {
  TempDir dir;
  writeFile(dir.file("s.csv"), tooltest::kSample);
  writeFile(dir.file("more.csv"),
            tooltest::stationList({"Oslo,Oslo,Norway,Europe,1,59.9139,10.7522",
                                   "Tromso,Troms,Norway,Europe,2,69.6492,18.9553",
                                   "Perth,WA,Australia,Oceania,1,-31.95,115.86"}));
  ASSERT_EQ(run(dir, {"--db", "s.bmt", "create", "s.csv"}).status, 0);
  ASSERT_EQ(run(dir, {"--db", "more.bmt", "create", "more.csv"}).status, 0);
  std::string source = readFile(dir.file("more.bmt"));
  std::string sourceDir = readFile(dir.file("more.dir"));

  Outcome o = run(dir, {"--db", "s.bmt", "import", "more.bmt"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "Importing of data completed.\n"
            "Total Locations: 11\n"
            "New: 2\n"
            "Replaced: 0\n");
  // Not a terminal: no progress bar.
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(tooltest::auxValue(readRecords(dir.file("s.bmt"))[3]), 3);  // the target's Oslo kept
  tooltest::expectGroupedDatabase(dir.file("s.bmt"));
  EXPECT_EQ(run(dir, {"--db", "s.bmt", "check"}).status, 0);

  o = run(dir, {"--db", "s.bmt", "import", "more.bmt", "--replace"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "Total Locations: 11\nNew: 0\nReplaced: 3\n")) << o.out;
  EXPECT_EQ(tooltest::auxValue(readRecords(dir.file("s.bmt"))[3]), 0);  // the source's Oslo now

  // The source is only read.
  EXPECT_EQ(readFile(dir.file("more.bmt")), source);
  EXPECT_EQ(readFile(dir.file("more.dir")), sourceDir);
  EXPECT_EQ(tooltest::tmpFiles(dir), Files{});
}

TEST(ImportCommandTest, RefusesWhatCannotBeImported) {
  TempDir dir;
  writeFile(dir.file("s.csv"), tooltest::kSample);
  ASSERT_EQ(run(dir, {"--db", "s.bmt", "create", "s.csv"}).status, 0);
  std::string data = readFile(dir.file("s.bmt"));

  Outcome o = run(dir, {"--db", "s.bmt", "import", "missing.bmt"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "\"missing.bmt\" is not there")) << o.err;
  o = run(dir, {"--db", "s.bmt", "import", "s.bmt"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "own data file")) << o.err;
  const std::string shortFile("too\0short", 9);
  writeFile(dir.file("short.bmt"), shortFile);
  o = run(dir, {"--db", "s.bmt", "import", "short.bmt"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "its 9 bytes are less than one record")) << o.err;
  // Bytes that are no records: their names would hold line breaks. --force
  // does not change that.
  writeFile(dir.file("notes.bmt"),
            std::string(20, 'x') + "\n" + std::string(1, '\0') + std::string(700, 'y'));
  for (const char* force : {"--replace", "--force"}) {
    o = run(dir, {"--db", "s.bmt", "import", "notes.bmt", force});
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(contains(o.err, "does not look like a data file of locations")) << o.err;
    EXPECT_TRUE(contains(o.err, "its name holds a control byte")) << o.err;
  }
  // Text is read as a station list, and this one is none.
  writeFile(dir.file("notes.txt"), "some notes\nabout stations\n");
  o = run(dir, {"--db", "s.bmt", "import", "notes.txt"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "notes.txt, line 1: the header lacks the columns")) << o.err;
  EXPECT_EQ(readFile(dir.file("s.bmt")), data);
  EXPECT_EQ(readFile(dir.file("short.bmt")), shortFile);
}

TEST(ProgressInfoTest, DrawsABarOnlyWhenAsked) {
  std::ostringstream bar;
  ProgressInfo info(bar, true, 4);
  info.showLocation("Europe", "Norway", "Oslo", "Oslo");
  info.showLocation("Europe", "Norway", "Vestland", "Bergen");
  EXPECT_TRUE(contains(bar.str(), "2/4  Europe/Norway/Vestland/Bergen")) << bar.str();
  EXPECT_TRUE(contains(bar.str(), "[###############...............]")) << bar.str();
  info.finish();
  EXPECT_EQ(bar.str().substr(bar.str().size() - 4), "\r\033[K");
  info.showText("Importing of data completed.", -1);
  info.showText("Total Locations:", 0);
  info.showNumber(2, 0);
  EXPECT_TRUE(info.completed());
  EXPECT_EQ(info.number(0), 2);
  std::ostringstream report;
  info.writeReport(report);
  EXPECT_EQ(report.str(), "Importing of data completed.\nTotal Locations: 2\n");

  std::ostringstream quiet;
  ProgressInfo silent(quiet, false, 4);
  silent.showLocation("Europe", "Norway", "Oslo", "Oslo");
  silent.finish();
  silent.showText("Importing of data failed.", -1);
  EXPECT_EQ(quiet.str(), "");
  EXPECT_FALSE(silent.completed());
  EXPECT_EQ(silent.handled(), 1);
}

}  // namespace
