// What the tool replaces reaches the disk durably: each new file is synced
// before its rename and the folder after it, and a new database's data file
// is in place durably before its directory file is.
#include "tool/database/FileReplacement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/RecordingEnv.h"
#include "tests/support/Records.h"
#include "tests/support/TempDir.h"
#include "tool/Error.h"
#include "tool/database/Database.h"
#include "tool/database/DatabaseBuilder.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

long position(const std::vector<std::string>& journal, const std::string& entry) {
  return std::find(journal.begin(), journal.end(), entry) - journal.begin();
}

TEST(FileReplacementTest, SyncsBeforeTheRenameAndTheFolderAfter) {
  testsupport::TempDir dir;
  std::string target = dir.file("out.csv");
  testsupport::RecordingEnv env;
  {
    FileReplacement file(target);
    file.out() << "a,b\n";
    file.commit();
  }
  EXPECT_EQ(testsupport::readFile(target), "a,b\n");
  std::vector<std::string> renames = env.entries("rename ");
  ASSERT_EQ(renames.size(), 1u);
  std::string temp = renames[0].substr(7, renames[0].rfind(' ') - 7);
  EXPECT_EQ(env.journal(), std::vector<std::string>({"write " + temp, "sync " + temp, renames[0],
                                                     "syncFolder " + dir.path()}));
}

TEST(FileReplacementTest, AFailedSyncLeavesTheOldFile) {
  testsupport::TempDir dir;
  std::string target = dir.file("out.csv");
  testsupport::writeFile(target, "old");
  testsupport::RecordingEnv env;
  env.failSyncOf("TQ_");
  FileReplacement file(target);
  file.out() << "new";
  EXPECT_THROW(file.commit(), Error);
  EXPECT_EQ(testsupport::readFile(target), "old");
  EXPECT_EQ(testsupport::listFolder(dir.path()), std::vector<std::string>({"out.csv"}));
}

TEST(FileReplacementTest, CreatedDatabaseDataFileIsDurableBeforeItsDirectoryFile) {
  testsupport::TempDir dir;
  std::string data = dir.file("n.bmt");
  std::vector<StationRow> rows(2);
  rows[0].record = testsupport::makeRecord("Europe", "Norway", "Troms", "Tromso", 1, 69.6f, 19.0f);
  rows[1].record = testsupport::makeRecord("Europe", "Norway", "Oslo", "Oslo", 1, 59.9f, 10.7f);
  testsupport::RecordingEnv env;
  {
    Database target(data, 0);
    createDatabase(target, rows, false, [](const std::string&) {});
  }
  const std::vector<std::string>& journal = env.journal();
  long dataAt = -1, directoryAt = -1;
  for (const std::string& e : env.entries("rename ")) {
    if (e.size() > data.size() && e.compare(e.size() - data.size(), data.size(), data) == 0) {
      dataAt = position(journal, e);
    }
    if (e.compare(e.size() - 5, 5, "n.dir") == 0) directoryAt = position(journal, e);
  }
  ASSERT_GE(dataAt, 0);
  ASSERT_GT(directoryAt, dataAt);
  EXPECT_EQ(journal[static_cast<std::size_t>(dataAt + 1)], "syncFolder " + dir.path());
  EXPECT_EQ(journal[static_cast<std::size_t>(directoryAt + 1)], "syncFolder " + dir.path());
  // Every file written was synced before anything was renamed into place.
  EXPECT_LT(position(journal, "sync " + journal[0].substr(6)), dataAt);
}

}  // namespace
