#include "platform/DurableReplacement.h"

#include <sys/stat.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/Failure.h"
#include "tests/support/RecordingEnv.h"
#include "tests/support/TempDir.h"

namespace platform {
namespace {

using testsupport::listFolder;
using testsupport::readFile;
using testsupport::RecordingEnv;
using testsupport::TempDir;
using testsupport::writeFile;

unsigned modeOf(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Writes, syncs, renames and syncs the folder, in that order, through the
// current Env; the new file keeps the old one's permissions.
TEST(DurableReplacementTest, SyncsTheFileBeforeItsRenameAndTheFolderAfter) {
  TempDir dir;
  std::string target = dir.file("t.txt");
  writeFile(target, "old");
  ASSERT_EQ(0, ::chmod(target.c_str(), 0640));
  RecordingEnv env;
  DurableReplacement replacement(target);
  ASSERT_TRUE(replacement.begin());
  std::string temp = replacement.temporaryName();
  EXPECT_EQ(temp.substr(0, dir.path().size() + 4), dir.path() + "/TQ_");
  ASSERT_TRUE(replacement.append("new", 3));
  ASSERT_TRUE(replacement.commit());
  EXPECT_EQ(env.journal(), std::vector<std::string>({"write " + temp, "sync " + temp,
                                                     "rename " + temp + " " + target,
                                                     "syncFolder " + dir.path()}));
  EXPECT_EQ(readFile(target), "new");
  EXPECT_EQ(modeOf(target), 0640u);
  EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>({"t.txt"}));
}

TEST(DurableReplacementTest, ANewFileGetsTheModeOfACreatedFile) {
  TempDir dir;
  std::string target = dir.file("n.txt");
  mode_t mask = ::umask(022);
  {
    DurableReplacement replacement(target);
    ASSERT_TRUE(replacement.begin());
    ASSERT_TRUE(replacement.commit());
  }
  ::umask(mask);
  EXPECT_EQ(modeOf(target), 0644u);
}

// A failed sync ends the replacement: it is not tried again, the old file
// stays and the temporary file goes.
// A symbolic link planted at the target (to another's file open to all)
// is replaced by a file of our own, with a created file's bits: neither
// written through nor its target's mode copied.
TEST(DurableReplacementTest, ALinkAtTheTargetIsReplacedNotFollowed) {
  TempDir dir;
  std::string theirs = dir.file("theirs"), target = dir.file("t.dir");
  writeFile(theirs, "theirs");
  ASSERT_EQ(0, ::chmod(theirs.c_str(), 0666));
  ASSERT_EQ(0, ::symlink("theirs", target.c_str()));
  mode_t mask = ::umask(022);
  DurableReplacement replacement(target);
  ASSERT_TRUE(replacement.begin());
  ASSERT_TRUE(replacement.append("ours", 4));
  EXPECT_TRUE(replacement.commit());
  ::umask(mask);
  struct stat st;
  ASSERT_EQ(0, ::lstat(target.c_str(), &st));
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  EXPECT_EQ(readFile(target), "ours");
  EXPECT_EQ(readFile(theirs), "theirs");
  EXPECT_EQ(modeOf(theirs), 0666u);
}

// In a folder that others may write, the temporary file moved away and a
// link to someone's file put in its place: the commit refuses, leaving the
// target and the link's target as they were.
TEST(DurableReplacementTest, ASwappedTemporaryFileIsNotRenamedOverTheTarget) {
  TempDir dir;
  std::string target = dir.file("t.bmt"), victim = dir.file("victim");
  writeFile(target, "old");
  writeFile(victim, "private");
  ASSERT_EQ(0, ::chmod(victim.c_str(), 0600));
  DurableReplacement replacement(target);
  ASSERT_TRUE(replacement.begin());
  ASSERT_TRUE(replacement.append("new", 3));
  std::string temp = replacement.temporaryName();
  ASSERT_EQ(0, ::rename(temp.c_str(), dir.file("moved").c_str()));
  ASSERT_EQ(0, ::symlink("victim", temp.c_str()));
  EXPECT_FALSE(replacement.commit());
  EXPECT_NE(std::string(lastFailure()).find("moved or replaced"), std::string::npos)
      << lastFailure();
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(readFile(victim), "private");
  EXPECT_EQ(modeOf(victim), 0600u);
  struct stat st;
  ASSERT_EQ(0, ::lstat(temp.c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));  // not ours to remove
}

TEST(DurableReplacementTest, AFailedSyncIsFatal) {
  TempDir dir;
  std::string target = dir.file("t.txt");
  writeFile(target, "old");
  RecordingEnv env;
  env.failSyncOf("TQ_");
  DurableReplacement replacement(target);
  ASSERT_TRUE(replacement.begin());
  ASSERT_TRUE(replacement.append("new", 3));
  EXPECT_FALSE(replacement.commit());
  EXPECT_FALSE(replacement.committed());
  EXPECT_EQ(env.entries("sync ").size(), 1u);
  EXPECT_TRUE(env.entries("rename ").empty());
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>({"t.txt"}));
}

TEST(DurableReplacementTest, AnUncommittedReplacementLeavesNothing) {
  TempDir dir;
  std::string target = dir.file("t.txt");
  {
    DurableReplacement replacement(target);
    ASSERT_TRUE(replacement.begin());
    ASSERT_TRUE(replacement.append("x", 1));
  }
  EXPECT_TRUE(listFolder(dir.path()).empty());
}

TEST(EnvTest, UniqueNamesAreCreatedExclusivelyAndFoldersRemovedWhole) {
  TempDir dir;
  Env* env = Env::current();
  std::string path;
  int file = env->createUnique(dir.path(), "TQ_", 0600, &path);
  ASSERT_GE(file, 0);
  EXPECT_EQ(env->open(path, Env::kReadWrite | Env::kCreate | Env::kExclusive, 0600), -1);
  env->close(file);
  std::string folder;
  ASSERT_TRUE(env->createUniqueFolder(dir.path(), ".metdb-", &folder));
  EXPECT_EQ(modeOf(folder), 0700u);
  writeFile(folder + "/inner", "x");
  EXPECT_TRUE(env->removeAll(folder));
  EXPECT_EQ(env->kindOf(folder), FileStatus::kMissing);
  EXPECT_EQ(env->kindOf(path), FileStatus::kRegular);
  EXPECT_EQ(env->sizeOf(path), 0);
}

}  // namespace
}  // namespace platform
