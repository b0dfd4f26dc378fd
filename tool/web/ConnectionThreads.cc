#include "tool/web/ConnectionThreads.h"

#include <thread>

namespace metdb {

ConnectionThreads::~ConnectionThreads() { shutdown(); }

void ConnectionThreads::enqueue(std::function<void()> connection) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (running_ >= max_) {
    waiting_.push_back(std::move(connection));
    return;
  }
  ++running_;
  std::thread([this, c = std::move(connection)]() mutable { serve(std::move(c)); }).detach();
}

void ConnectionThreads::serve(std::function<void()> connection) {
  for (;;) {
    connection();
    std::lock_guard<std::mutex> lock(mutex_);
    if (waiting_.empty()) {
      --running_;
      // Notified under the lock: shutdown() may destroy this object as soon
      // as it sees running_ reach 0.
      done_.notify_all();
      return;
    }
    connection = std::move(waiting_.front());
    waiting_.pop_front();
  }
}

void ConnectionThreads::shutdown() {
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [this] { return running_ == 0 && waiting_.empty(); });
}

}  // namespace metdb
