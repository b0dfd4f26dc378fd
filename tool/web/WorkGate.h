#ifndef METDB_TOOL_WEB_WORKGATE_H_
#define METDB_TOOL_WEB_WORKGATE_H_

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

namespace metdb {

// How many requests the server works on at once (serve --workers). Each
// connection keeps a thread of its own (ConnectionThreads), so that idle
// and slow clients hold only themselves; the work of answering passes this
// gate, as many at once as there are workers, and the rest wait in the
// order they came. Fewer workers than requests finish most requests sooner
// on cores of their own; on cores shared with other programs they get a
// smaller share of them (docs/performance.md), so the server has no limit
// unless asked.
class WorkGate {
 public:
  // workers: how many may work at once (at least 1).
  explicit WorkGate(std::size_t workers);
  WorkGate(const WorkGate&) = delete;
  WorkGate& operator=(const WorkGate&) = delete;

  // Waits for a worker's place, in arrival order, until `until`. True with
  // the place taken (leave() gives it back); false when the wait ran out,
  // with nothing taken.
  bool enter(std::chrono::steady_clock::time_point until);
  // Gives a place back to the longest waiting caller, if any.
  void leave();

  // A place for the life of the object, when one comes before `until`.
  class Pass {
   public:
    Pass(WorkGate& gate, std::chrono::steady_clock::time_point until)
        : gate_(gate), entered_(gate.enter(until)) {}
    ~Pass() {
      if (entered_) gate_.leave();
    }
    Pass(const Pass&) = delete;
    Pass& operator=(const Pass&) = delete;
    bool entered() const { return entered_; }

   private:
    WorkGate& gate_;
    bool entered_;
  };

 private:
  struct Waiter {
    std::condition_variable wake;
    bool granted = false;
  };

  std::mutex mutex_;
  std::size_t free_;
  std::deque<Waiter*> waiting_;  // oldest first
};

}  // namespace metdb

#endif  // METDB_TOOL_WEB_WORKGATE_H_
