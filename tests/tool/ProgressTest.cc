// Progress as long work reports it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
