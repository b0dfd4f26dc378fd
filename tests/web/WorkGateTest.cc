// The server's gate to its workers: as many at once as it has, the others
// wait for a place given back, and a wait that runs out takes nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tool/web/WorkGate.h"

namespace {

using Clock = std::chrono::steady_clock;

TEST(WorkGateTest, LetsInAsManyAsItHasWorkersAndThenTheWaitingInTurn) {
  metdb::WorkGate gate(2);
  const Clock::time_point past = Clock::now() - std::chrono::seconds(1);
  const Clock::time_point later = Clock::now() + std::chrono::hours(1);
  ASSERT_TRUE(gate.enter(past));
  ASSERT_TRUE(gate.enter(past));
  // Full: a wait that has already run out takes no place.
  EXPECT_FALSE(gate.enter(past));
  bool entered = false;
  std::thread waiter([&] { entered = gate.enter(later); });
  gate.leave();  // to the waiter, queued or about to be
  waiter.join();
  EXPECT_TRUE(entered);
  EXPECT_FALSE(gate.enter(past));
  gate.leave();
  gate.leave();
  {
    metdb::WorkGate::Pass pass(gate, past);
    EXPECT_TRUE(pass.entered());
    EXPECT_TRUE(gate.enter(past));
    EXPECT_FALSE(gate.enter(past));
    gate.leave();
  }
  EXPECT_TRUE(gate.enter(past));
  EXPECT_TRUE(gate.enter(past));
}

}  // namespace
