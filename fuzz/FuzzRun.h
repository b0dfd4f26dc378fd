#ifndef METDB_FUZZ_FUZZRUN_H_
#define METDB_FUZZ_FUZZRUN_H_

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/TempDir.h"

// What every fuzz run stands on: a fresh temporary folder for its files,
// removed with them when the run ends, and a check that the run left no file
// descriptor open (the lowest free descriptor must be the same at the end as
// at the start; the process ends otherwise). Made first in a run, so that it
// is checked after everything else is gone.
class FuzzRun {
 public:
  FuzzRun() = default;
  FuzzRun(const FuzzRun&) = delete;
  FuzzRun& operator=(const FuzzRun&) = delete;

  const testsupport::TempDir& folder() const { return folder_; }
  // Writes size bytes at data to the file name in the folder; its path.
  std::string write(const std::string& name, const std::uint8_t* data, std::size_t size) const {
    std::string path = folder_.file(name);
    testsupport::writeFile(path, std::string(reinterpret_cast<const char*>(data), size));
    return path;
  }

 private:
  // Declared before the folder, so destroyed after it.
  class DescriptorCheck {
   public:
    DescriptorCheck() : lowest_(lowestFree()) {}
    ~DescriptorCheck() {
      if (lowestFree() != lowest_) {
        std::fprintf(stderr, "a file descriptor was left open\n");
        std::abort();
      }
    }

   private:
    static int lowestFree() {
      int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
      if (fd >= 0) close(fd);
      return fd;
    }
    int lowest_;
  };

  DescriptorCheck descriptors_;
  testsupport::TempDir folder_;
};

#endif  // METDB_FUZZ_FUZZRUN_H_
