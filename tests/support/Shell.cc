#include "tests/support/Shell.h"

#include <cstdio>
#include <cstdlib>

namespace testsupport {

int shell(const std::string& command, std::string* output) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return -1;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output->append(buffer, n);
  return pclose(pipe);
}

bool haveProgram(const std::string& check) {
  return std::system((check + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace testsupport
