#include "datafile/WorkingDirectory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <stdexcept>
#include <string>

#include "platform/CurrentDirectory.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::ScopedCwd;
using testsupport::TempDir;

std::string cwd() { return platform::currentDirectory(); }

TEST(WorkingDirectoryTest, SwitchesForItsLifeAndNests) {
  TempDir caller;
  TempDir home;
  TempDir inner;
  ScopedCwd start(caller.path());
  {
    WorkingDirectory scope(0, home.path().c_str());
    EXPECT_EQ(cwd(), home.path());
    EXPECT_EQ(scope.savedDrive, 0);
    EXPECT_EQ(std::string(scope.savedDir), caller.path());
    {
      WorkingDirectory nested(0, inner.path().c_str());
      EXPECT_EQ(cwd(), inner.path());
    }
    EXPECT_EQ(cwd(), home.path());
  }
  EXPECT_EQ(cwd(), caller.path());
}

TEST(WorkingDirectoryTest, RestoresWhenTheOperationThrows) {
  TempDir caller;
  TempDir home;
  ScopedCwd start(caller.path());
  EXPECT_THROW(
      {
        WorkingDirectory scope(0, home.path().c_str());
        throw std::runtime_error("read failed");
      },
      std::runtime_error);
  EXPECT_EQ(cwd(), caller.path());
}

TEST(WorkingDirectoryTest, ARemovedHomeLeavesTheCallersDirectory) {
  TempDir caller;
  TempDir scratch;
  std::string gone = scratch.file("gone");
  ASSERT_EQ(mkdir(gone.c_str(), 0755), 0);
  ASSERT_EQ(rmdir(gone.c_str()), 0);
  ScopedCwd start(caller.path());
  {
    WorkingDirectory scope(0, gone.c_str());
    EXPECT_EQ(cwd(), caller.path());
  }
  EXPECT_EQ(cwd(), caller.path());
  { WorkingDirectory scope(0, nullptr); }
  EXPECT_EQ(cwd(), caller.path());
}

TEST(WorkingDirectoryTest, RestoresACallerPathLongerThanItsBuffer) {
  TempDir dir;
  TempDir home;
  std::string deep = dir.path();
  while (deep.size() < 400) {
    deep += "/" + std::string(50, 'p');
    ASSERT_EQ(mkdir(deep.c_str(), 0755), 0);
  }
  ScopedCwd start(deep);
  {
    WorkingDirectory scope(0, home.path().c_str());
    EXPECT_EQ(scope.savedDir[0], '\0');
    EXPECT_EQ(cwd(), home.path());
  }
  EXPECT_EQ(cwd(), deep);
}

TEST(WorkingDirectoryTest, RestoresACallerDirectoryRemovedMeanwhile) {
  TempDir dir;
  TempDir home;
  std::string caller = dir.file("caller");
  ASSERT_EQ(mkdir(caller.c_str(), 0755), 0);
  ScopedCwd outer(dir.path());
  ASSERT_EQ(chdir(caller.c_str()), 0);
  {
    WorkingDirectory scope(0, home.path().c_str());
    ASSERT_EQ(rmdir(caller.c_str()), 0);
  }
  // Back in the removed folder, not in the home: its path cannot be read.
  char buf[4096];
  EXPECT_EQ(getcwd(buf, sizeof buf), nullptr);
  EXPECT_EQ(errno, ENOENT);
}

}  // namespace
