// The metdb command-line tool. Everything but the process entry lives in
// the tool's core (cli/Tool.h), which the tests run in-process too.

#include <iostream>

#include "cli/Terminal.h"
#include "cli/Tool.h"

int main(int argc, char** argv) {
  metdb::keepRunningWhenTheReaderGoes();
  metdb::stopAtCheckPointsOnInterruption();
  return metdb::runTool(argc, argv, std::cout, std::cerr);
}
