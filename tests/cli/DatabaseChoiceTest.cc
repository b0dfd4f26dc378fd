// Which database a command works on: --db, else METDB_DB, else the
// configured one; info says which and why.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/ToolRun.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::writeFile;
using tooltest::contains;
using tooltest::Outcome;
using tooltest::run;
using tooltest::RunOptions;

class DatabaseChoiceTest : public tooltest::SampleDatabaseTest {
 protected:
  static RunOptions withVariable(const std::string& value) {
    RunOptions options;
    options.environment = {"METDB_DB=" + value};
    return options;
  }
};

TEST_F(DatabaseChoiceTest, MetdbDbNamesTheDatabaseWhenDbIsAbsent) {
  Outcome o = run(dir, {"info"}, withVariable("s.bmt"));
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "Database:       s.bmt (from METDB_DB)\n")) << o.out;
  o = run(dir, {"list", "--country", "Kenya"}, withVariable("s.bmt"));
  EXPECT_TRUE(contains(o.out, "Nairobi")) << o.out << o.err;

  // Empty counts as unset: the configured database, here the library's
  // default, which does not exist.
  o = run(dir, {"info"}, withVariable(""));
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(contains(o.err, "/metdata.bmt\": the data file does not exist")) << o.err;
}

TEST_F(DatabaseChoiceTest, DbWinsOverMetdbDb) {
  writeFile(dir.file("t.csv"), tooltest::stationList({"Lima,Lima,Peru,South America,1,-12,-77"}));
  ASSERT_EQ(run(dir, {"--db", "t.bmt", "create", "t.csv"}).status, 0);
  Outcome o = run(dir, {"--db", "t.bmt", "info"}, withVariable("s.bmt"));
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "Database:       t.bmt (from --db)\n")) << o.out;
  EXPECT_TRUE(contains(o.out, "Locations:      1\n")) << o.out;
}

}  // namespace
