#ifndef METDB_CLI_TERMINAL_H_
#define METDB_CLI_TERMINAL_H_

#include <ostream>

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

// These two are the only places where the tool asks the operating system
// directly: the standard library has no way to do either.

#endif  // METDB_CLI_TERMINAL_H_
