// Where the tool finds its reference data.
#include "tool/DataFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/TempDir.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

TEST(DataFolderTest, TheEnvironmentWins) {
  testsupport::TempDir prefix;
  std::filesystem::create_directories(prefix.file("share/metdb"));
  EXPECT_EQ(chooseDataFolder("/elsewhere", prefix.file("bin/metdb"), "/source/data"), "/elsewhere");
}

TEST(DataFolderTest, AnInstallationKeepsItBesideItsPrograms) {
  testsupport::TempDir prefix;
  std::filesystem::create_directories(prefix.file("share/metdb"));
  EXPECT_EQ(chooseDataFolder(nullptr, prefix.file("bin/metdb"), "/source/data"),
            prefix.file("share/metdb"));
  // An empty variable is no choice.
  EXPECT_EQ(chooseDataFolder("", prefix.file("bin/metdb"), "/source/data"),
            prefix.file("share/metdb"));
}

TEST(DataFolderTest, ABuildTreeUsesTheSourceTree) {
  testsupport::TempDir build;
  EXPECT_EQ(chooseDataFolder(nullptr, build.file("cli/metdb"), "/source/data"), "/source/data");
  EXPECT_EQ(chooseDataFolder(nullptr, "", "/source/data"), "/source/data");
}

}  // namespace
