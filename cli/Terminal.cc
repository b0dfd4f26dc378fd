#include "cli/Terminal.h"

#include <unistd.h>

#include <csignal>

#include <iostream>

bool isTerminal(const std::ostream& out) {
  if (&out == &std::cerr || &out == &std::clog) return isatty(STDERR_FILENO) == 1;
  if (&out == &std::cout) return isatty(STDOUT_FILENO) == 1;
  return false;
}

void keepRunningWhenTheReaderGoes() { std::signal(SIGPIPE, SIG_IGN); }
