#ifndef METDB_TOOL_CHECKPOINT_H_
#define METDB_TOOL_CHECKPOINT_H_

#include <chrono>

namespace metdb {

// Long work (walks, imports, reading station lists) calls checkPoint() once
// per item, so that the program can stop it: the hook it sets may throw,
// and the work then unwinds like any failure, removing what it made.
using CheckPointHook = void (*)();

// Sets the hook for the whole process (null: none, the default).
void setCheckPointHook(CheckPointHook hook);

// Calls the hook, if any, and throws TimeLimitExceeded when the calling
// thread's deadline (CheckPointDeadline) has passed. Cheap: the clock is
// read on every 64th call only.
void checkPoint();

// Thrown by checkPoint on a thread whose deadline has passed.
struct TimeLimitExceeded {};

// While it lives, the work of the thread that made it ends at checkPoint
// (TimeLimitExceeded) once seconds have passed: a server's limit on one
// request. Does not nest: the inner one replaces the outer one's deadline
// and clears it when destroyed.
class CheckPointDeadline {
 public:
  explicit CheckPointDeadline(double seconds);
  ~CheckPointDeadline();
  CheckPointDeadline(const CheckPointDeadline&) = delete;
  CheckPointDeadline& operator=(const CheckPointDeadline&) = delete;
};

// While it lives, the calling thread's deadline is set aside (and then
// restored): for work that serves more than the one request, such as
// reading a new state of the database.
class CheckPointNoDeadline {
 public:
  CheckPointNoDeadline();
  ~CheckPointNoDeadline();
  CheckPointNoDeadline(const CheckPointNoDeadline&) = delete;
  CheckPointNoDeadline& operator=(const CheckPointNoDeadline&) = delete;

 private:
  bool wasSet_;
};

}  // namespace metdb

#endif  // METDB_TOOL_CHECKPOINT_H_
