#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Terminal.h"
#include "cli/Tool.h"
#include "tests/cli/ToolRun.h"
#include "tests/support/TempDir.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;
using tooltest::Outcome;
using tooltest::readRecords;
using tooltest::run;
using tooltest::RunOptions;

constexpr int kInterruptions[] = {SIGINT, SIGTERM, SIGHUP};

// What a command must not leave in dir or in its TMPDIR (dir/tmp): temporary
// files ("TQ_": an iterator's index file, an unfinished data file) and work
// folders (".metdb-").
std::vector<std::string> leftovers(const TempDir& dir) {
  std::vector<std::string> found;
  for (const std::string& folder : {dir.path(), dir.file("tmp")}) {
    for (const std::string& name : testsupport::listFolder(folder)) {
      if (name.rfind("TQ_", 0) == 0 || name.rfind(".metdb-", 0) == 0) found.push_back(name);
    }
  }
  return found;
}

// A stream buffer that raises a signal when the first output is written to
// it, so that the signal comes exactly when the command writes its output.
class SignalOnOutput : public std::stringbuf {
 public:
  explicit SignalOnOutput(int signalNumber) : signal_(signalNumber) {}

 protected:
  int_type overflow(int_type c) override {
    fire();
    return std::stringbuf::overflow(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    fire();
    return std::stringbuf::xsputn(s, n);
  }

 private:
  void fire() {
    if (signal_ != 0) {
      raise(signal_);
      // A checker such as valgrind may deliver it a little later.
      while (interruptionSignal() == 0) sched_yield();
    }
    signal_ = 0;
  }
  int signal_;
};

// Runs the tool's core in this process, in its own folder (dir/tmp as
// TMPDIR), with the program's signal handlers installed; what the process
// had before is put back afterwards.
class InProcessInterruptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir.file("tmp"));
    const char* tmp = getenv("TMPDIR");
    savedTmp_ = tmp ? tmp : "";
    hadTmp_ = tmp != nullptr;
    setenv("TMPDIR", dir.file("tmp").c_str(), 1);
    for (int i = 0; i < 3; ++i) sigaction(kInterruptions[i], nullptr, &saved_[i]);
    // As from a terminal: a SIGHUP ignored by whatever started the tests
    // (nohup) would stay ignored by the tool, by design.
    signal(SIGHUP, SIG_DFL);
    stopAtCheckPointsOnInterruption();
  }
  void TearDown() override {
    for (int i = 0; i < 3; ++i) sigaction(kInterruptions[i], &saved_[i], nullptr);
    forgetInterruption();
    if (hadTmp_) {
      setenv("TMPDIR", savedTmp_.c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }

  Outcome runTo(std::ostream& out, std::vector<std::string> args) {
    std::vector<const char*> argv = {"metdb"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    std::ostringstream err;
    Outcome o;
    o.status = runTool(static_cast<int>(argv.size()), argv.data(), out, err);
    o.err = err.str();
    return o;
  }

  TempDir dir;
  testsupport::ScopedCwd cwd{dir.path()};

 private:
  struct sigaction saved_[3];
  std::string savedTmp_;
  bool hadTmp_ = false;
};

TEST_F(InProcessInterruptTest, InterruptedImportLeavesTheDatabaseAsItWas) {
  writeFile(dir.file("a.csv"), tooltest::kSample);
  writeFile(dir.file("b.csv"),
            tooltest::stationList({"Tromso,Troms,Norway,Europe,2,69.65,18.96",
                                   "Accra,Greater Accra,Ghana,Africa,1,5.6,-0.19"}));
  ASSERT_EQ(run(dir, {"--db", "a.bmt", "create", "a.csv"}).status, 0);
  ASSERT_EQ(run(dir, {"--db", "b.bmt", "create", "b.csv"}).status, 0);
  std::string data = readFile(dir.file("a.bmt"));
  std::string directory = readFile(dir.file("a.dir"));

  // Already there when the import starts: its first check point, inside
  // the library's merge with the new data file begun, stops it.
  raise(SIGINT);
  // A checker such as valgrind may deliver the signal a little later than
  // raise returns: wait until the handler has seen it.
  while (interruptionSignal() == 0) sched_yield();
  std::ostringstream out;
  Outcome o = runTo(out, {"--db", "a.bmt", "import", "b.bmt"});

  EXPECT_EQ(o.status, 130);
  EXPECT_EQ(o.err, "metdb: Interrupted by SIGINT; nothing was changed.\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(readFile(dir.file("a.bmt")), data);
  EXPECT_EQ(readFile(dir.file("a.dir")), directory);
  EXPECT_EQ(leftovers(dir), std::vector<std::string>{});
}

TEST_F(InProcessInterruptTest, SignalAfterTheChangeSaysItWasMade) {
  writeFile(dir.file("s.csv"), tooltest::kSample);
  // create writes its summary once the new files are in place.
  SignalOnOutput buffer(SIGHUP);
  std::ostream out(&buffer);
  Outcome o = runTo(out, {"--db", "s.bmt", "create", "s.csv"});

  EXPECT_EQ(o.status, 129);
  EXPECT_EQ(o.err,
            "metdb: Interrupted by SIGHUP after the change was made; the database holds it.\n");
  EXPECT_TRUE(tooltest::contains(buffer.str(), "Created s.bmt: 9 locations")) << buffer.str();
  EXPECT_EQ(readRecords(dir.file("s.bmt")).size(), 9u);
  EXPECT_TRUE(testsupport::fileExists(dir.file("s.dir")));
  EXPECT_EQ(leftovers(dir), std::vector<std::string>{});
}

TEST(InterruptProgramTest, SigtermStopsAWalkAndLeavesNoIndexFile) {
  TempDir dir;
  // Far more output than a pipe and the output buffer hold, so that the
  // walk is still on when the signal comes.
  std::vector<std::string> rows;
  char row[96];
  for (int i = 0; i < 4000; ++i) {
    std::snprintf(row, sizeof row, "Station %04d,State %d,Country %d,Europe,1,%d.5,%d.25", i, i % 7,
                  i % 11, i % 80, i % 170);
    rows.push_back(row);
  }
  writeFile(dir.file("big.csv"), tooltest::stationList(rows));
  ASSERT_EQ(run(dir, {"--db", "big.bmt", "create", "big.csv"}).status, 0);
  std::string data = readFile(dir.file("big.bmt"));

  RunOptions options;
  options.signalAfterOutput = SIGTERM;
  Outcome o = run(dir, {"--db", "big.bmt", "list"}, options);

  EXPECT_EQ(o.status, 143);
  EXPECT_EQ(o.err, "metdb: Interrupted by SIGTERM; nothing was changed.\n");
  EXPECT_FALSE(o.out.empty());
  EXPECT_FALSE(tooltest::contains(o.out, "4000 locations.")) << "the walk was not stopped";
  EXPECT_EQ(readFile(dir.file("big.bmt")), data);
  EXPECT_EQ(leftovers(dir), std::vector<std::string>{});
}

}  // namespace

namespace {

// `producer | metdb create --force -` run as a background job of a shell
// without job control (SIGINT ignored when the program starts), Ctrl-C
// coming while it waits on the pipe, then the pipe ending as the producer
// dies: the database stays as it was and the status is 130.
TEST(InterruptProgramTest, SigintWhileReadingAPipeCommitsNothing) {
  TempDir dir;
  writeFile(dir.file("s.csv"), tooltest::kSample);
  ASSERT_EQ(run(dir, {"--db", "s.bmt", "create", "s.csv"}).status, 0);
  std::string data = readFile(dir.file("s.bmt"));
  std::string directory = readFile(dir.file("s.dir"));

  int input[2];
  ASSERT_EQ(pipe(input), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGINT, SIG_IGN);
    dup2(input[0], STDIN_FILENO);
    close(input[0]);
    close(input[1]);
    if (chdir(dir.path().c_str()) != 0) _exit(126);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execl(METDB_TOOL, METDB_TOOL, "--db", "s.bmt", "create", "--force", "-",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(input[0]);
  std::string head = tooltest::stationList({"Tromso,Troms,Norway,Europe,2,69.65,18.96"});
  ASSERT_EQ(write(input[1], head.data(), head.size()), static_cast<ssize_t>(head.size()));
  // The barrier: the program has read all of it, so it is reading the pipe
  // (its signal handlers were set before the first read).
  for (;;) {
    int pending = 0;
    ASSERT_EQ(ioctl(input[1], FIONREAD, &pending), 0);
    if (pending == 0) break;
    sched_yield();
  }
  kill(child, SIGINT);
  close(input[1]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 130);
  EXPECT_TRUE(readFile(dir.file("s.bmt")) == data) << "the data file changed";
  EXPECT_TRUE(readFile(dir.file("s.dir")) == directory) << "the directory file changed";
}

}  // namespace
