#ifndef METDB_CLI_INTERRUPTED_H_
#define METDB_CLI_INTERRUPTED_H_

#include "cli/Terminal.h"

namespace metdb {

// Thrown at a check point of long work when the tool was asked to stop
// (see stopAtCheckPointsOnInterruption). It unwinds the command like any
// failure, so that each scratch folder, temporary file and iterator index
// file is removed by its owner, and runTool reports it. It derives from no
// standard exception on purpose: code that handles std::exception must not
// take it for an error and go on.
class Interrupted {
 public:
  explicit Interrupted(int signalNumber) : signal_(signalNumber) {}
  // The signal that stopped the command.
  int signal() const { return signal_; }

 private:
  int signal_;
};

// A check point: throws Interrupted when one of the signals has arrived.
// Cheap enough to be called for every record of a walk.
inline void stopIfInterrupted() {
  if (int signalNumber = interruptionSignal()) throw Interrupted(signalNumber);
}

}  // namespace metdb

#endif  // METDB_CLI_INTERRUPTED_H_
