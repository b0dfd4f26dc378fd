#ifndef METDB_TESTS_SUPPORT_SHELL_H_
#define METDB_TESTS_SUPPORT_SHELL_H_

#include <string>

namespace testsupport {

// Runs a shell command (its standard error joined to its output) and reads
// all it writes into *output (appended); its status as pclose gives it, or
// -1 when it could not be started.
int shell(const std::string& command, std::string* output);

// Whether a shell command succeeds, its output discarded (to find a client
// program the test needs).
bool haveProgram(const std::string& check);

}  // namespace testsupport

#endif  // METDB_TESTS_SUPPORT_SHELL_H_
