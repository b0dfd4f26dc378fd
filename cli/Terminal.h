#ifndef METDB_CLI_TERMINAL_H_
#define METDB_CLI_TERMINAL_H_

#include <ostream>

namespace metdb {

// Whether out is one of the process's standard streams (std::cout,
// std::cerr, std::clog) and that stream goes to a terminal. Any other
// stream, such as a string stream in a test, is never a terminal.
bool isTerminal(const std::ostream& out);

// Makes a write to a standard stream whose reader has gone (a closed pipe,
// as in `metdb list | head`) fail, instead of ending the process on the
// spot, so that the command still removes its temporary files and the tool
// can report the failure. For the program's entry; changes the whole
// process.
void keepRunningWhenTheReaderGoes();

// Makes SIGINT (Ctrl-C), SIGTERM and SIGHUP only record their arrival
// instead of ending the process on the spot, so that the command stops at
// its next check point (stopIfInterrupted, cli/Interrupted.h), unwinding
// like a failure: its temporary files are removed and the database is left
// whole. Repeating the signal while the command stops changes nothing. A
// SIGHUP that the process was started with ignored (nohup) stays ignored;
// SIGINT and SIGTERM stop the command even then (a background job of a
// shell without job control starts with SIGINT ignored, while the producer
// of its piped input dies of the same Ctrl-C). Calls under way when a
// signal arrives go on, so that standard output is not left failed by a
// write cut short. For the program's entry; changes the whole process.
void stopAtCheckPointsOnInterruption();

// The number of the first of those signals that arrived since the handlers
// were installed (or since forgetInterruption), or 0 when none did. Cheap:
// one read of a flag.
int interruptionSignal();

// Forgets a recorded signal. For tests, which run the tool's core more than
// once in one process.
void forgetInterruption();

// These functions are the only places where the tool asks the operating
// system directly: the standard library has no way to do any of this.

}  // namespace metdb

#endif  // METDB_CLI_TERMINAL_H_
