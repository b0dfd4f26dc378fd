#ifndef METDB_CLI_TOOL_H_
#define METDB_CLI_TOOL_H_

#include <ostream>
#include <string>

namespace metdb {

// Runs the metdb tool on a command line (argv[0] is the program's name and is
// not parsed), writing normal output to out and messages to err. Returns the
// exit status (see ExitStatus): 0 on success, 1 on failure, 2 for a wrong
// command line, which is reported as one sentence, the usage line and a hint
// to --help. A command whose output could not all be written to out fails
// (1) with a message, whatever it returned. Catches every exception.
//
// When one of the signals of stopAtCheckPointsOnInterruption arrived, the
// command stops at its next check point (or finishes, when it came after
// the last one), and one line says whether its change had been made
// (ToolContext::markChanged); the status is then 128 + the signal's number.
int runTool(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// The line that --version prints: "metdb " and the library's version.
std::string toolVersionLine();

}  // namespace metdb

#endif  // METDB_CLI_TOOL_H_
