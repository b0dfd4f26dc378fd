// Faults injected into every operation that writes: a disk that fills up
// part way, a folder that takes no new file, and a process killed at every
// file-changing system call. After each, every file is as it was or as a
// clean run leaves it, the operation's result says which, no record that
// was there is lost, and nothing is left behind; see FaultSweep::judge.
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "tests/faults/FaultSweep.h"
#include "tests/support/Records.h"

namespace {

using faults::FaultSweep;
using faults::Operation;

class FaultInjectionTest : public ::testing::TestWithParam<Operation> {
 protected:
  // Prints the tally and records it with the test.
  void report(const FaultSweep& sweep, const std::string& fault) {
    std::cout << "[faults] " << sweep.summary(fault) << std::endl;
    RecordProperty("injected", static_cast<int>(sweep.tally().trials));
    RecordProperty("wrong", static_cast<int>(sweep.tally().wrong));
    EXPECT_EQ(sweep.tally().wrong, 0);
  }
};

TEST_P(FaultInjectionTest, DiskFullAtEveryPhase) {
  FaultSweep sweep(GetParam());
  for (off_t limit : sweep.limits(faults::trialBudget(48))) {
    std::string verdict = sweep.fullDisk(limit);
    EXPECT_EQ(verdict, "") << GetParam().name;
  }
  // An operation that reports no result (a save on closing) is judged by its
  // files alone, which each verdict checks.
  if (sweep.tally().unreported == 0) {
    EXPECT_GT(sweep.tally().failed, 0) << "no limit made the operation fail";
  }
  report(sweep, "disk full");
}

TEST_P(FaultInjectionTest, FolderRefusingNewFiles) {
  FaultSweep sweep(GetParam());
  for (bool tmpToo : {false, true}) {
    std::string verdict = sweep.refusedNewFiles(tmpToo);
    EXPECT_EQ(verdict, "") << GetParam().name << (tmpToo ? ", TMPDIR refusing too" : "");
  }
  report(sweep, "no new files");
}

TEST_P(FaultInjectionTest, KilledAtEveryFileChange) {
  FaultSweep sweep(GetParam());
  if (sweep.calls() == 0) GTEST_SKIP() << "system calls cannot be traced here";
#ifdef __SANITIZE_ADDRESS__
  // The sanitizer runtime of the traced tool makes file changes of its own,
  // which the count of the clean run does not hold.
  if (GetParam().name.rfind("tool-", 0) == 0)
    GTEST_SKIP() << "tool runs are traced in the normal build";
#endif
  long calls = sweep.calls();
  long budget = static_cast<long>(faults::trialBudget(64));
  // Every call when they are few; else the first and last ones and an even
  // spread between.
  std::vector<long> at;
  for (long n = 1; n <= calls + 1; ++n) {
    if (calls + 1 <= budget || n <= budget / 4 || n > calls + 1 - budget / 4 ||
        (n - budget / 4) % ((calls + 1) / (budget / 2) + 1) == 0) {
      at.push_back(n);
    }
  }
  for (long n : at) {
    std::string verdict = sweep.killedAt(n);
    EXPECT_EQ(verdict, "") << GetParam().name;
  }
  report(sweep, "killed (" + std::to_string(calls) + " calls)");
}

INSTANTIATE_TEST_SUITE_P(Writers, FaultInjectionTest,
                         ::testing::ValuesIn(faults::writingOperations()),
                         [](const ::testing::TestParamInfo<Operation>& info) {
                           std::string name;
                           for (char c : info.param.name) name += c == '-' ? '_' : c;
                           return name;
                         });

}  // namespace
