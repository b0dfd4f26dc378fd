#include "tool/web/WorkGate.h"

#include <algorithm>

namespace metdb {

WorkGate::WorkGate(std::size_t workers) : free_(std::max<std::size_t>(1, workers)) {}

bool WorkGate::enter(std::chrono::steady_clock::time_point until) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (free_ > 0 && waiting_.empty()) {
    --free_;
    return true;
  }
  Waiter self;
  waiting_.push_back(&self);
  if (self.wake.wait_until(lock, until, [&self] { return self.granted; })) return true;
  // Out of time and not granted (leave() grants under the lock, so this
  // waiter is still queued).
  waiting_.erase(std::find(waiting_.begin(), waiting_.end(), &self));
  return false;
}

void WorkGate::leave() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (waiting_.empty()) {
    ++free_;
    return;
  }
  Waiter* next = waiting_.front();
  waiting_.pop_front();
  next->granted = true;
  // Notified under the lock: the waiter's condition variable lives on its
  // stack, and it may return as soon as it can see granted.
  next->wake.notify_one();
}

}  // namespace metdb
