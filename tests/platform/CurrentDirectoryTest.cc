#include "platform/CurrentDirectory.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/support/TempDir.h"

namespace platform {
namespace {

TEST(CurrentDirectoryTest, ReadsAndChangesTheProcessDirectory) {
  EXPECT_EQ(0, getdisk());
  setdisk(3);
  EXPECT_EQ(0, getdisk());

  testsupport::TempDir dir;
  testsupport::ScopedCwd restore(dir.path());
  char buf[4096];
  ASSERT_TRUE(getcwd(buf, sizeof buf));
  EXPECT_EQ(currentDirectory(), buf);
  char tiny[4] = "abc";
  EXPECT_FALSE(getcwd(tiny, sizeof tiny));
  EXPECT_EQ('\0', tiny[0]);

  ASSERT_EQ(0, mkdir(dir.file("sub").c_str(), 0700));
  ASSERT_TRUE(chdir("sub"));
  EXPECT_EQ(std::string(buf) + "/sub", currentDirectory());
  EXPECT_FALSE(chdir("no-such-folder"));
  ASSERT_EQ(0, rmdir(dir.file("sub").c_str()));  // the current directory is gone
  EXPECT_EQ("", currentDirectory());
  EXPECT_FALSE(getcwd(buf, sizeof buf));
}

TEST(DirectoryHandleTest, ReturnsToARenamedFolder) {
  testsupport::TempDir dir;
  testsupport::ScopedCwd restore(dir.path());
  ASSERT_EQ(0, mkdir("a", 0700));
  ASSERT_TRUE(chdir("a"));
  DirectoryHandle handle = DirectoryHandle::openCurrent();
  ASSERT_TRUE(handle.valid());
  ASSERT_TRUE(chdir(".."));
  ASSERT_EQ(0, rename("a", "b"));
  DirectoryHandle moved(std::move(handle));
  EXPECT_FALSE(handle.valid());
  EXPECT_FALSE(handle.makeCurrent());
  ASSERT_TRUE(moved.makeCurrent());
  EXPECT_EQ(dir.file("b"), currentDirectory());
}

TEST(DirectoryHandleTest, ReturnsToAFolderBeyondThePathLimit) {
  testsupport::TempDir dir;
  testsupport::ScopedCwd restore(dir.path());
  // 24 folders of 200-character names, made and entered one relative step at
  // a time, since their full path fits no path buffer.
  const std::string name(200, 'd');
  std::vector<int> fds{open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  while (fds.size() <= 24 && fds.back() >= 0 && mkdirat(fds.back(), name.c_str(), 0700) == 0) {
    fds.push_back(openat(fds.back(), name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  }
  ASSERT_EQ(25u, fds.size());
  ASSERT_GE(fds.back(), 0);
  ASSERT_EQ(0, fchdir(fds.back()));
  close(open("marker", O_CREAT | O_WRONLY | O_CLOEXEC, 0600));
  DirectoryHandle handle = DirectoryHandle::openCurrent();
  ASSERT_TRUE(handle.valid());
  std::string deep = currentDirectory();
  EXPECT_GT(deep.size(), 4096u);

  ASSERT_TRUE(chdir(dir.path().c_str()));
  EXPECT_NE(0, access("marker", F_OK));
  ASSERT_TRUE(handle.makeCurrent());
  EXPECT_EQ(0, access("marker", F_OK));
  EXPECT_EQ(deep, currentDirectory());

  // The folder helper cannot remove a tree this deep by path.
  EXPECT_EQ(0, unlinkat(fds.back(), "marker", 0));
  for (std::size_t i = fds.size() - 1; i > 0; --i) {
    close(fds[i]);
    EXPECT_EQ(0, unlinkat(fds[i - 1], name.c_str(), AT_REMOVEDIR));
  }
  close(fds[0]);
}

}  // namespace
}  // namespace platform
