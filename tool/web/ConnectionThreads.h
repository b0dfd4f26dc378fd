#ifndef METDB_TOOL_WEB_CONNECTIONTHREADS_H_
#define METDB_TOOL_WEB_CONNECTIONTHREADS_H_

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

namespace metdb {

// The server's connections, each on a thread of its own up to a limit; the
// connections beyond it wait in order for a thread to come free. A pool of
// a few threads would let as many idle or slow clients hold the whole
// server until their timeouts; a thread each keeps the others answered.
class ConnectionThreads : public httplib::TaskQueue {
 public:
  explicit ConnectionThreads(std::size_t maxThreads) : max_(maxThreads) {}
  ~ConnectionThreads() override;

  void enqueue(std::function<void()> connection) override;
  // Waits until every connection, those waiting included, is done.
  void shutdown() override;

 private:
  void serve(std::function<void()> connection);

  std::size_t max_;
  std::mutex mutex_;
  std::condition_variable done_;
  std::deque<std::function<void()>> waiting_;
  std::size_t running_ = 0;
};

}  // namespace metdb

#endif  // METDB_TOOL_WEB_CONNECTIONTHREADS_H_
