// Progress as long work reports it.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tool/CheckPoint.h"
#include "tool/Progress.h"

using namespace metdb;  // NOLINT: the tool's library under test

namespace {

struct RecordingDisplay : ProgressDisplay {
  void show(const std::string& task, long done, long total) override {
    shown.push_back(task + " " + std::to_string(done) + "/" + std::to_string(total));
  }
  void clear() override { ++clears; }
  std::vector<std::string> shown;
  int clears = 0;
};

TEST(ProgressTest, ReportsAThousandStepsAtMostAndClearsWhenTheOutermostTaskEnds) {
  RecordingDisplay display;
  setProgressDisplay(&display);
  {
    Progress outer("Outer", ProgressDisplay::kNoCount);
    {
      Progress inner("Reading", 100000);
      for (int i = 0; i < 100000; ++i) inner.advance();
    }
    EXPECT_EQ(display.clears, 0);
  }
  setProgressDisplay(nullptr);
  EXPECT_EQ(display.clears, 1);
  EXPECT_EQ(display.shown.front(), "Outer 0/-1");
  EXPECT_EQ(display.shown.back(), "Reading 100000/100000");
  EXPECT_LE(display.shown.size(), 1002u);
}

}  // namespace

// A server's time limit on one request: the work of the thread that set it
// ends at a check point once it has passed, the work of others does not,
// and reading a new state for every request is exempt.
TEST(CheckPointTest, ADeadlineEndsItsOwnThreadsWorkOnly) {
  auto work = [] {
    for (int i = 0; i < 1000; ++i) metdb::checkPoint();
  };
  EXPECT_NO_THROW(work());
  metdb::CheckPointDeadline passed(-1);
  EXPECT_THROW(work(), metdb::TimeLimitExceeded);
  bool otherEnded = false;
  std::thread other([&] {
    try {
      work();
    } catch (const metdb::TimeLimitExceeded&) {
      otherEnded = true;
    }
  });
  other.join();
  EXPECT_FALSE(otherEnded);
  {
    metdb::CheckPointNoDeadline unlimited;
    EXPECT_NO_THROW(work());
  }
  EXPECT_THROW(work(), metdb::TimeLimitExceeded);
}
