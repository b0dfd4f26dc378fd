#include "cli/Terminal.h"

#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <iostream>

namespace metdb {

namespace {

constexpr int kInterruptions[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t gInterruption = 0;

// The handler: records the signal and returns. Only the first one is kept,
// as it is the one that stopped the command. The handlers block each other
// (see sa_mask), so nothing comes between the test and the write.
void recordInterruption(int signal) {
  if (gInterruption == 0) gInterruption = signal;
}

}  // namespace

bool isTerminal(const std::ostream& out) {
  if (&out == &std::cerr || &out == &std::clog) return isatty(STDERR_FILENO) == 1;
  if (&out == &std::cout) return isatty(STDOUT_FILENO) == 1;
  return false;
}

void keepRunningWhenTheReaderGoes() { std::signal(SIGPIPE, SIG_IGN); }

void stopAtCheckPointsOnInterruption() {
  struct sigaction action = {};
  action.sa_handler = recordInterruption;
  sigemptyset(&action.sa_mask);
  for (int signal : kInterruptions) sigaddset(&action.sa_mask, signal);
  // Without SA_RESTART a write to a pipe that the signal cut short would
  // fail, and standard output with it (the C library does not retry it).
  action.sa_flags = SA_RESTART;
  for (int signal : kInterruptions) {
    struct sigaction inherited = {};
    // Only a hangup ignored on purpose (nohup) stays ignored. A shell
    // without job control starts its background jobs with SIGINT ignored,
    // but its Ctrl-C still kills a producer feeding this process through a
    // pipe: ignoring it, the command would take the cut input as complete
    // and commit it.
    if (signal == SIGHUP && sigaction(signal, nullptr, &inherited) == 0 &&
        inherited.sa_handler == SIG_IGN) {
      continue;
    }
    sigaction(signal, &action, nullptr);
  }
}

int interruptionSignal() { return gInterruption; }

void forgetInterruption() { gInterruption = 0; }

}  // namespace metdb
