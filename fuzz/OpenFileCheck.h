#ifndef METDB_FUZZ_OPENFILECHECK_H_
#define METDB_FUZZ_OPENFILECHECK_H_

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

// Ends the process when a fuzz run leaves a file descriptor open: the lowest
// free descriptor must be the same when the object dies as when it was made.
// Declared first in a run, so that it is checked after everything else is
// gone.
class OpenFileCheck {
 public:
  OpenFileCheck() : lowest_(lowestFree()) {}
  ~OpenFileCheck() {
    if (lowestFree() != lowest_) {
      std::fprintf(stderr, "a file descriptor was left open\n");
      std::abort();
    }
  }
  OpenFileCheck(const OpenFileCheck&) = delete;
  OpenFileCheck& operator=(const OpenFileCheck&) = delete;

 private:
  static int lowestFree() {
    int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) close(fd);
    return fd;
  }
  int lowest_;
};

#endif  // METDB_FUZZ_OPENFILECHECK_H_
