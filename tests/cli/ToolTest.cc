#include "cli/Tool.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/ToolRun.h"
#include "tests/support/TempDir.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

using testsupport::TempDir;
using testsupport::writeFile;
using tooltest::contains;
using tooltest::Outcome;
using tooltest::runInProcess;
Outcome runProgram(const TempDir& dir, const std::vector<std::string>& args) {
  return tooltest::run(dir, args);
}

const char kGoodList[] =
    "name,state,country,continent,level,latitude,longitude\r\n"
    "\"Washington, D.C.\",District of Columbia,United States,North America,1,38.9,-77.04\r\n"
    "Llanfairpwllgwyngyllgogerychwyrndrobwllllantysiliogogogoch,Wales,United Kingdom,Europe,5,"
    "53.22,-4.2\r\n";

const char kBadList[] =
    "name,state,country,continent,level,latitude,longitude\n"
    "Oslo,Oslo,Norway,Europe,1,59.91,10.75\n"
    "Nowhere,X,Y,Europe,1,95,0\n"
    "Bergen,Vestland,Norway,Europe,1,60.39,five\n";

TEST(ToolProgramTest, HelpAndVersion) {
  TempDir dir;
  Outcome o = runProgram(dir, {"--help"});
  EXPECT_EQ(o.status, 0);
  EXPECT_TRUE(contains(o.out, "Usage: metdb")) << o.out;
  EXPECT_TRUE(contains(o.out, "validate"));
  EXPECT_TRUE(contains(o.out, "Examples:"));
  EXPECT_EQ(o.err, "");

  o = runProgram(dir, {"--version"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "metdb 1.10\n");

  o = runProgram(dir, {"validate", "--help"});
  EXPECT_EQ(o.status, 0);
  EXPECT_TRUE(contains(o.out, "Usage: metdb validate [OPTIONS] STATIONS")) << o.out;
  EXPECT_TRUE(contains(o.out, "Examples:\n  metdb validate "));
}

TEST(ToolProgramTest, ValidateGoodAndBadLists) {
  TempDir dir;
  writeFile(dir.file("good.csv"), kGoodList);
  writeFile(dir.file("bad.csv"), kBadList);

  Outcome o = runProgram(dir, {"validate", "good.csv"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "good.csv: 2 good rows, 1 warning.\n");
  EXPECT_TRUE(contains(o.err, "metdb: warning: good.csv, line 3, column \"name\": ")) << o.err;

  o = runProgram(dir, {"validate", "bad.csv"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, "bad.csv: 1 good row, 2 faulty rows, 0 warnings.\n");
  EXPECT_TRUE(contains(o.err,
                       "metdb: bad.csv, line 3, column \"latitude\": \"95\" is outside "
                       "-90..90.\n"))
      << o.err;
  EXPECT_TRUE(contains(o.err,
                       "metdb: bad.csv, line 4, column \"longitude\": \"five\" does not "
                       "parse as a number.\n"))
      << o.err;

  o = runProgram(dir, {"validate", "missing.csv"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "\"missing.csv\"")) << o.err;

  writeFile(dir.file("empty.csv"), "");
  o = runProgram(dir, {"validate", "empty.csv"});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "empty.csv: the file is empty")) << o.err;

  o = runProgram(dir, {"validate", "."});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "is a folder")) << o.err;
}

TEST(ToolProgramTest, WrongUsageExitsWithTwoAndAUsageLine) {
  TempDir dir;
  const std::vector<std::vector<std::string>> wrong = {
      {},
      {"frobnicate"},
      {"--no-such-option"},
      {"validate"},
      {"validate", "a.csv", "b.csv"},
      {"validate", "--bogus", "a.csv"},
      {"--db"},
  };
  for (const auto& args : wrong) {
    std::string shown;
    for (const auto& a : args) shown += a + " ";
    Outcome o = runProgram(dir, args);
    EXPECT_EQ(o.status, 2) << shown << o.err;
    EXPECT_TRUE(contains(o.err, "\nUsage: metdb")) << shown << o.err;
    EXPECT_EQ(o.out, "") << shown;
  }
  Outcome o = runProgram(dir, {"frobnicate"});
  EXPECT_TRUE(contains(o.err, "\"frobnicate\" is not a command")) << o.err;
  o = runProgram(dir, {"validate"});
  EXPECT_TRUE(contains(o.err, "metdb validate: STATIONS is required.\n")) << o.err;
}

TEST(ToolProgramTest, EveryCommandReportsWrongArgumentsWithStatusTwo) {
  TempDir dir;
  const std::vector<std::vector<std::string>> wrong = {
      {"create"},
      {"create", "a.csv", "--bogus"},
      {"tree", "--depth", "5"},
      {"list", "--bbox", "1,2,3"},
      {"list", "--bbox", "10,20,5,30"},
      {"list", "--level-limit", "x"},
      {"list", "--selection", "a.sel", "--continent", "Europe"},
      {"list", "--format", "xml"},
      {"list", "--sort", "height"},
      {"list", "--reverse"},
      {"export", "--format", "xml"},
      {"show"},
      {"show", "Europe/Norway"},
      {"add", "--name", "X"},
      {"add", "--name", "X", "--country", "Y", "--continent", "Z", "--latitude", "95",
       "--longitude", "0"},
      {"set", "1"},
      {"set", "-1", "--level", "1"},
      {"set", "1", "--series-a", "1,2,3"},
      {"delete"},
      {"delete", "a//b"},
      {"import"},
      {"selection"},
      {"selection", "new"},
      {"selection", "new", "a.sel", "--location", "X*"},
      {"selection", "frobnicate"},
      {"check", "extra"},
  };
  for (const auto& args : wrong) {
    std::string shown;
    for (const auto& a : args) shown += a + " ";
    Outcome o = runProgram(dir, args);
    EXPECT_EQ(o.status, 2) << shown << o.err;
    EXPECT_TRUE(contains(o.err, "\nUsage: metdb " + args[0])) << shown << o.err;
    EXPECT_EQ(o.out, "") << shown;
  }
  Outcome o = runProgram(dir, {"add", "--name", "X", "--country", "Y", "--continent", "Z",
                               "--latitude", "95", "--longitude", "0"});
  EXPECT_TRUE(contains(o.err, "metdb add: --latitude: \"95\" is outside -90..90.\n")) << o.err;
  // Every command's help has an example.
  for (const char* command : {"create", "info", "tree", "list", "export", "show", "add", "set",
                              "delete", "compact", "import", "selection", "check", "validate"}) {
    o = runProgram(dir, {command, "--help"});
    EXPECT_EQ(o.status, 0) << command;
    EXPECT_TRUE(contains(o.out, "Example")) << command << o.out;
  }
}

TEST(ToolInProcessTest, RunsTheSameCommands) {
  TempDir dir;
  writeFile(dir.file("good.csv"), kGoodList);
  Outcome o = runInProcess({"validate", dir.file("good.csv")});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "2 good rows")) << o.out;

  o = runInProcess({"--version"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, toolVersionLine() + "\n");

  o = runInProcess({"validate"});
  EXPECT_EQ(o.status, 2);
  EXPECT_TRUE(contains(o.err, "Usage: metdb validate")) << o.err;
}

TEST(ToolInProcessTest, ValidatesTheSampleList) {
  Outcome o = runInProcess({"validate", METDB_SOURCE_DIR "/data/stations.csv"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "good rows")) << o.out;
}

class ToolOutputTest : public tooltest::SampleDatabaseTest {};

// `metdb export | head`: once the reader has gone the command fails and
// says so, and leaves no index file of its walk in the current directory.
TEST_F(ToolOutputTest, AReaderThatGoesAwayEndsTheCommandCleanly) {
  tooltest::RunOptions options;
  options.readerGone = true;
  for (std::vector<std::string> args :
       {std::vector<std::string>{"export", "--format", "geojson"}, {"list"}}) {
    args.insert(args.begin(), {"--db", "s.bmt"});
    Outcome o = tooltest::run(dir, args, options);
    EXPECT_EQ(o.status, 1) << args[2];
    EXPECT_TRUE(contains(o.err, "Cannot write the output")) << o.err;
    EXPECT_EQ(tooltest::userFiles(dir),
              (std::vector<std::string>{"s.bmt", "s.csv", "s.dir", "s.stn"}));
  }
}

}  // namespace
