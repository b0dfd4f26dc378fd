#include "platform/Notify.h"

#include <cstdio>

#include "gtest/gtest.h"

namespace platform {
namespace {

int beeps = 0;
void countBeep() { ++beeps; }
void loudFatal(const char* caption, const char* text) {
  std::fprintf(stderr, "hooked %s/%s\n", caption, text);
}

TEST(NotifyTest, BeepGoesThroughTheHook) {
  testing::internal::CaptureStderr();
  messageBeep();
  EXPECT_EQ("\a", testing::internal::GetCapturedStderr());

  EXPECT_EQ(nullptr, setBeepHook(countBeep));
  beeps = 0;
  messageBeep();
  messageBeep();
  EXPECT_EQ(2, beeps);
  EXPECT_EQ(countBeep, setBeepHook(nullptr));
}

TEST(NotifyTest, FatalExitShowsTheNoticeAndExits) {
  EXPECT_EXIT(fatalExit("CAPTION", "TEXT", 1), testing::ExitedWithCode(1), "^CAPTION: TEXT\n$");
  EXPECT_EXIT(
      {
        setFatalHook(loudFatal);
        fatalExit("TARVELIN", "gone", 7);
      },
      testing::ExitedWithCode(7), "hooked TARVELIN/gone");
  EXPECT_EQ(nullptr, setFatalHook(nullptr));  // the child's hook stayed in the child
}

}  // namespace
}  // namespace platform
