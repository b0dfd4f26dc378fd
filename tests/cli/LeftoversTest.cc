// What a killed compaction leaves beside the data file: `check` lists it,
// and the next writer removes it, but never a temporary file that a live
// process holds.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/TempFile.h"
#include "tests/cli/ToolRun.h"
#include "tests/support/RecordingEnv.h"
#include "tests/support/TempDir.h"
#include "tool/database/ScratchFolder.h"

namespace {

using testsupport::TempDir;
using testsupport::writeFile;
using tooltest::contains;
using tooltest::Outcome;
using tooltest::run;

// Stops the process at the first sync of a temporary file: tells the test
// through ready, then waits on go, which never speaks.
class StopAtTemporarySync : public testsupport::RecordingEnv {
 public:
  StopAtTemporarySync(int ready, int go) : ready_(ready), go_(go) {}
  int open(const std::string& name, unsigned flags, unsigned mode) override {
    int file = RecordingEnv::open(name, flags, mode);
    if (file >= 0) names_[file] = name;
    return file;
  }
  bool sync(int file) override {
    if (names_[file].find("TQ_") != std::string::npos) {
      char c = 'x';
      if (::write(ready_, &c, 1) != 1) _exit(3);
      ::read(go_, &c, 1);
      _exit(4);
    }
    return RecordingEnv::sync(file);
  }

 private:
  int ready_, go_;
  std::map<int, std::string> names_;
};

std::vector<std::string> temporaries(const TempDir& dir) {
  std::vector<std::string> found;
  for (const std::string& name : testsupport::listFolder(dir.path())) {
    if (name.rfind("TQ_", 0) == 0) found.push_back(name);
  }
  return found;
}

// Makes the file an hour old.
void age(const std::string& path) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = time(nullptr) - 3600;
  times[1].tv_nsec = 0;
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(LeftoversTest, AKilledCompactionsFileIsListedAndRemovedByTheNextWriter) {
  TempDir dir;
  writeFile(dir.file("s.csv"), tooltest::kSample);
  ASSERT_EQ(run(dir, {"--db", "s.bmt", "create", "s.csv"}).status, 0);

  int ready[2], go[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(go), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(ready[0]);
    close(go[1]);
    StopAtTemporarySync env(ready[1], go[0]);
    tooltest::runInProcess({"--db", dir.file("s.bmt"), "compact"});
    _exit(5);
  }
  close(ready[1]);
  close(go[0]);
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);  // the compaction is syncing its file
  kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  close(ready[0]);
  close(go[1]);

  std::vector<std::string> left = temporaries(dir);
  ASSERT_FALSE(left.empty());  // the new data file, and the directory file's
  // A live process's temporary file, as old: it stays.
  std::string held;
  platform::File holding;
  ASSERT_TRUE(platform::createTempFile(dir.path(), &held, &holding));
  age(held);

  Outcome o = run(dir, {"--db", "s.bmt", "check"});
  EXPECT_EQ(o.status, 0) << o.out;
  EXPECT_TRUE(contains(o.out, "beside the data file that a killed writer left")) << o.out;
  for (const std::string& name : left) EXPECT_TRUE(contains(o.out, name)) << o.out;
  EXPECT_FALSE(contains(o.out, held.substr(held.rfind('/') + 1))) << o.out;

  // Too young to be taken for a leftover yet.
  ASSERT_EQ(run(dir, {"--db", "s.bmt", "compact"}).status, 0);
  EXPECT_EQ(temporaries(dir).size(), left.size() + 1);
  for (const std::string& name : left) age(dir.file(name));
  ASSERT_EQ(run(dir, {"--db", "s.bmt", "compact"}).status, 0);
  EXPECT_EQ(temporaries(dir), std::vector<std::string>{held.substr(held.rfind('/') + 1)});
}

// The work folders of killed commands: `check` lists those beside the data
// file and in the temporary folder, and the next writer removes those
// beside the data file; a live command's folder is neither.
TEST(LeftoversTest, AKilledCommandsWorkFoldersAreListedAndThoseBesideTheDataFileRemoved) {
  TempDir dir;
  writeFile(dir.file("s.csv"), tooltest::kSample);
  ASSERT_EQ(run(dir, {"--db", "s.bmt", "create", "s.csv"}).status, 0);
  // As a killed command leaves them: the lock file there, held by no one.
  for (const std::string& folder : {dir.file(".metdb-dead01"), dir.file("tmp/.metdb-dead02")}) {
    std::filesystem::create_directories(folder);
    writeFile(folder + "/" + metdb::ScratchFolder::kHeldName, "");
    writeFile(folder + "/new.bmt", "half");
    age(folder);
  }
  metdb::ScratchFolder live(dir.path());
  ASSERT_TRUE(live.ok());
  age(live.path());
  std::string liveName = live.path().substr(live.path().rfind('/') + 1);

  Outcome o = run(dir, {"--db", "s.bmt", "check"});
  EXPECT_EQ(o.status, 0) << o.out;
  EXPECT_TRUE(contains(o.out, "2 work folders that a killed command left")) << o.out;
  EXPECT_TRUE(contains(o.out, ".metdb-dead01")) << o.out;
  EXPECT_TRUE(contains(o.out, ".metdb-dead02")) << o.out;
  EXPECT_FALSE(contains(o.out, liveName)) << o.out;

  ASSERT_EQ(run(dir, {"--db", "s.bmt", "compact"}).status, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.file(".metdb-dead01")));
  EXPECT_TRUE(std::filesystem::exists(dir.file("tmp/.metdb-dead02")));
  EXPECT_TRUE(std::filesystem::exists(live.path()));
}

}  // namespace
