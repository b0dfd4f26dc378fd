#ifndef METDB_CLI_TERMINAL_H_
#define METDB_CLI_TERMINAL_H_

#include <ostream>

// Whether out is one of the process's standard streams (std::cout,
// std::cerr, std::clog) and that stream goes to a terminal. Any other
// stream, such as a string stream in a test, is never a terminal. The one place where the
// tool asks the operating system directly: the standard library cannot tell.
bool isTerminal(const std::ostream& out);

#endif  // METDB_CLI_TERMINAL_H_
