#include "tool/Progress.h"

#include <algorithm>
#include <limits>

namespace metdb {

namespace {
ProgressDisplay* currentDisplay = nullptr;
int openTasks = 0;
// Items between two reports when the total is unknown.
constexpr long kUnknownStep = 4096;
}  // namespace

void setProgressDisplay(ProgressDisplay* display) { currentDisplay = display; }

void eraseProgress() {
  if (currentDisplay != nullptr) currentDisplay->clear();
}

Progress::Progress(std::string task, long total)
    : task_(std::move(task)),
      total_(std::max(ProgressDisplay::kNoCount, total)),
      step_(total_ > 0 ? std::max(1L, total_ / 1000) : kUnknownStep) {
  ++openTasks;
  if (currentDisplay == nullptr) {
    next_ = std::numeric_limits<long>::max();
    return;
  }
  report();
}

Progress::~Progress() {
  if (--openTasks == 0 && currentDisplay != nullptr) currentDisplay->clear();
}

void Progress::report() {
  next_ = done_ + step_;
  if (currentDisplay != nullptr) currentDisplay->show(task_, done_, total_);
}

}  // namespace metdb
