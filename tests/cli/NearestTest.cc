// The nearest command as a user runs it.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/cli/ToolRun.h"

namespace {

using tooltest::contains;
using tooltest::Outcome;

class NearestCommandTest : public tooltest::SampleDatabaseTest {};

TEST_F(NearestCommandTest, ListsNearestFirstAndRefusesBadInput) {
  Outcome o = tool({"nearest", "59.9139", "10.7522", "-k", "2"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "\n  0.000 ")) << o.out;
  EXPECT_TRUE(contains(o.out, "Oslo")) << o.out;
  EXPECT_TRUE(contains(o.out, "2 locations of 9, nearest first.")) << o.out;
  // A negative latitude is a number, not an option.
  o = tool({"nearest", "-12", "-77", "-k", "1", "--format", "json"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(contains(o.out, "\"name\":\"Lima\"")) << o.out;
  o = tool({"nearest", "0", "0", "--max-km", "1"});
  EXPECT_EQ(o.status, 0);
  EXPECT_TRUE(contains(o.out, "No location lies within 1 km.")) << o.out;
  for (std::vector<std::string> bad : {std::vector<std::string>{"nearest", "91", "0"},
                                       {"nearest", "0", "180.5"},
                                       {"nearest", "nan", "0"},
                                       {"nearest", "0", "0", "-k", "0"},
                                       {"nearest", "0", "0", "--max-km", "-1"},
                                       {"nearest", "0"}}) {
    EXPECT_EQ(tool(bad).status, 2) << bad[1];
  }
}

}  // namespace
