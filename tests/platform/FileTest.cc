#include "platform/File.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/TempFile.h"
#include "tests/support/TempDir.h"

namespace platform {
namespace {

TEST(FileTest, ReadsWritesAndResizes) {
  testsupport::TempDir dir;
  std::string name = dir.file("data");
  File file;
  EXPECT_FALSE(file.open(name, File::kReadWrite));
  EXPECT_FALSE(file.open(name, File::kReadOnly));
  ASSERT_TRUE(file.open(name, File::kReadWriteCreate));
  EXPECT_EQ(0, file.length());
  ASSERT_TRUE(file.writeAt(0, "hello", 5));
  ASSERT_TRUE(file.writeAt(10, "world", 5));  // leaves a hole of zeros
  EXPECT_EQ(15, file.length());

  char buf[32];
  ASSERT_EQ(15, file.readAt(0, buf, sizeof buf));  // short at the end of file
  EXPECT_EQ(std::string("hello\0\0\0\0\0world", 15), std::string(buf, 15));
  EXPECT_EQ(0, file.readAt(20, buf, sizeof buf));
  EXPECT_EQ(-1, file.readAt(-1, buf, 1));

  EXPECT_TRUE(file.truncate(3));
  EXPECT_EQ(3, file.length());
  EXPECT_TRUE(file.truncate(8));
  EXPECT_EQ(8, file.length());
  EXPECT_TRUE(file.sync());
  File moved = std::move(file);
  EXPECT_FALSE(file.isOpen());
  EXPECT_TRUE(moved.close());
  EXPECT_EQ(std::string("hel\0\0\0\0\0", 8), testsupport::readFile(name));

  ASSERT_TRUE(file.open(name, File::kReadOnly));
  EXPECT_FALSE(file.writeAt(0, "x", 1));
}

TEST(FileTest, RefusesDirectoriesAndFifosWithoutBlocking) {
  testsupport::TempDir dir;
  std::string fifo = dir.file("fifo");
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  File file;
  for (File::Mode mode : {File::kReadOnly, File::kReadWrite, File::kReadWriteCreate}) {
    EXPECT_FALSE(file.open(dir.path(), mode));
    EXPECT_FALSE(file.open(fifo, mode));
    EXPECT_FALSE(file.isOpen());
  }
}

TEST(FileTest, WriteBeyondTheFileSizeLimitFails) {
  testsupport::TempDir dir;
  std::string name = dir.file("limited");
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {1000, 1000};
    File file;
    std::string block(4000, 'x');
    bool ok = setrlimit(RLIMIT_FSIZE, &limit) == 0 && file.open(name, File::kReadWriteCreate) &&
              file.writeAt(0, "fits", 4) && !file.writeAt(0, block.data(), block.size()) &&
              !file.writeAt(2000, "x", 1);
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(pid, waitpid(pid, &status, 0));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(0, WEXITSTATUS(status));
}

TEST(TempFileTest, CreatesDistinctExclusiveNames) {
  testsupport::TempDir dir;
  std::set<std::string> names;
  for (int i = 0; i < 200; ++i) {
    std::string path;
    File file;
    ASSERT_TRUE(createTempFile(dir.path(), &path, &file));
    ASSERT_EQ(dir.path() + "/", path.substr(0, dir.path().size() + 1));
    std::string name = path.substr(dir.path().size() + 1);
    EXPECT_EQ(9u, name.size());
    EXPECT_EQ("TQ_", name.substr(0, 3));
    EXPECT_TRUE(file.writeAt(0, "ab", 2));
    EXPECT_EQ(2, file.length());
    names.insert(name);
  }
  EXPECT_EQ(200u, names.size());
  EXPECT_EQ(200u, testsupport::listFolder(dir.path()).size());
  struct stat st;
  ASSERT_EQ(0, stat(dir.file(*names.begin()).c_str(), &st));
  EXPECT_EQ(0600u, st.st_mode & 0777);
}

TEST(TempFileTest, EmptyFolderMeansTheCurrentDirectory) {
  testsupport::TempDir dir;
  testsupport::ScopedCwd cwd(dir.path());
  std::string path;
  File file;
  ASSERT_TRUE(createTempFile("", &path, &file));
  EXPECT_EQ(9u, path.size());
  EXPECT_TRUE(testsupport::fileExists(dir.file(path)));
}

TEST(TempFileTest, FailsInAnUnusableFolderLeavingNothing) {
  testsupport::TempDir dir;
  testsupport::writeFile(dir.file("plain"), "x");
  std::string path = "unchanged";
  File file;
  EXPECT_FALSE(createTempFile(dir.file("missing"), &path, &file));
  EXPECT_FALSE(createTempFile(dir.file("plain"), &path, &file));
  EXPECT_EQ("unchanged", path);
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ(std::vector<std::string>{"plain"}, testsupport::listFolder(dir.path()));
}

}  // namespace
}  // namespace platform
