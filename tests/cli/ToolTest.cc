#include "cli/Tool.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace {

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the built metdb program in dir with args, as a user would.
Outcome runProgram(const TempDir& dir, const std::vector<std::string>& args) {
  std::string outPath = dir.file(".stdout");
  std::string errPath = dir.file(".stderr");
  pid_t pid = fork();
  if (pid == 0) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int in = open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0 || chdir(dir.path().c_str()) != 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(METDB_TOOL));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(METDB_TOOL, argv.data());
    _exit(127);
  }
  Outcome o;
  int wstatus = 0;
  if (pid > 0 && waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus)) {
    o.status = WEXITSTATUS(wstatus);
  }
  o.out = readFile(outPath);
  o.err = readFile(errPath);
  return o;
}

// Runs the tool's core in this process.
Outcome runInProcess(const std::vector<std::string>& args) {
  std::vector<const char*> argv = {"metdb"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  Outcome o;
  o.status = runTool(static_cast<int>(argv.size()), argv.data(), out, err);
  o.out = out.str();
  o.err = err.str();
  return o;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
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
  EXPECT_TRUE(contains(o.out, "Example:"));
  EXPECT_EQ(o.err, "");

  o = runProgram(dir, {"--version"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "metdb 1.10\n");

  o = runProgram(dir, {"validate", "--help"});
  EXPECT_EQ(o.status, 0);
  EXPECT_TRUE(contains(o.out, "Usage: metdb validate [OPTIONS] STATIONS.csv")) << o.out;
  EXPECT_TRUE(contains(o.out, "Example:\n  metdb validate "));
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
  EXPECT_TRUE(contains(o.err, "metdb validate: STATIONS.csv is required.\n")) << o.err;
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

}  // namespace
