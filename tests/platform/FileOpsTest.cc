#include "platform/FileOps.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "gtest/gtest.h"
#include "platform/ModulePath.h"
#include "tests/support/TempDir.h"

namespace platform {
namespace {

TEST(FileOpsTest, RenamesOverAndInspects) {
  testsupport::TempDir dir;
  std::string a = dir.file("a"), b = dir.file("b");
  testsupport::writeFile(a, "new");
  testsupport::writeFile(b, "old");
  ASSERT_EQ(0, chmod(a.c_str(), 0640));
  EXPECT_TRUE(copyPermissions(a.c_str(), b.c_str()));
  struct stat st;
  ASSERT_EQ(0, stat(b.c_str(), &st));
  EXPECT_EQ(0640u, st.st_mode & 07777);
  EXPECT_TRUE(renameFile(a.c_str(), b.c_str()));  // replaces b
  EXPECT_EQ("new", testsupport::readFile(b));
  EXPECT_FALSE(renameFile(a.c_str(), b.c_str()));
  EXPECT_TRUE(syncFolderOf(b.c_str()));

  ASSERT_EQ(0, symlink("b", a.c_str()));
  EXPECT_TRUE(isRegularFile(a.c_str()));
  EXPECT_FALSE(isRegularFile(dir.path().c_str()));
  EXPECT_FALSE(removeFile(dir.path().c_str()));
  EXPECT_TRUE(removeFile(b.c_str()));
  EXPECT_TRUE(pathExists(a.c_str()));  // the dangling link itself
  EXPECT_FALSE(isRegularFile(a.c_str()));
}

TEST(FileOpsTest, FormsPaths) {
  EXPECT_EQ(".", folderOf("name"));
  EXPECT_EQ("/", folderOf("/name"));
  EXPECT_EQ("a/b", folderOf("a/b/name.x"));
  EXPECT_EQ("/abs", absolutePath("/abs"));
  testsupport::TempDir dir;
  testsupport::ScopedCwd cwd(dir.path());
  EXPECT_EQ(dir.path() + "/rel/x", absolutePath("rel/x"));
}

TEST(ModulePathTest, SplitsPaths) {
  std::string dir, name, ext;
  splitPath("/usr/lib/libmetdb.so", &dir, &name, &ext);
  EXPECT_EQ("/usr/lib/", dir);
  EXPECT_EQ("libmetdb", name);
  EXPECT_EQ(".so", ext);
  splitPath("a.b/file", &dir, &name, &ext);
  EXPECT_EQ("a.b/", dir);
  EXPECT_EQ("file", name);
  EXPECT_EQ("", ext);
  splitPath("x.tar.gz", &dir, &name, nullptr);
  EXPECT_EQ("", dir);
  EXPECT_EQ("x.tar", name);
}

TEST(ModulePathTest, NamesAnExistingAbsoluteFile) {
  testsupport::TempDir dir;
  testsupport::ScopedCwd cwd(dir.path());  // must not matter
  std::string self = moduleFileName();
  ASSERT_FALSE(self.empty());
  EXPECT_EQ('/', self[0]);
  EXPECT_TRUE(isRegularFile(self.c_str())) << self;
}

}  // namespace
}  // namespace platform
