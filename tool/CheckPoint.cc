#include "tool/CheckPoint.h"

namespace metdb {

namespace {
CheckPointHook currentHook = nullptr;

struct ThreadDeadline {
  bool set = false;
  unsigned calls = 0;
  std::chrono::steady_clock::time_point at;
};
thread_local ThreadDeadline deadline;
}  // namespace

void setCheckPointHook(CheckPointHook hook) { currentHook = hook; }

void checkPoint() {
  if (currentHook != nullptr) currentHook();
  if (deadline.set && ++deadline.calls % 64 == 0 &&
      std::chrono::steady_clock::now() > deadline.at) {
    throw TimeLimitExceeded();
  }
}

CheckPointDeadline::CheckPointDeadline(double seconds) {
  deadline.set = true;
  deadline.calls = 0;
  deadline.at = std::chrono::steady_clock::now() +
                std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                    std::chrono::duration<double>(seconds));
}

CheckPointDeadline::~CheckPointDeadline() { deadline.set = false; }

CheckPointNoDeadline::CheckPointNoDeadline() : wasSet_(deadline.set) { deadline.set = false; }

CheckPointNoDeadline::~CheckPointNoDeadline() { deadline.set = wasSet_; }

}  // namespace metdb
