#include "platform/TempFile.h"

#include "platform/Env.h"
#include "platform/Failure.h"

namespace platform {

bool createTempFile(const std::string& folder, std::string* path, File* file) {
  if (path == nullptr || file == nullptr) return false;
  int fd = Env::current()->createUnique(folder, "TQ_", 0600, path);
  if (fd < 0) {
    noteSystemFailure("cannot create a temporary file in \"" + (folder.empty() ? "." : folder) +
                      "\"");
    return false;
  }
  // Held while the file is open, so that a writer can tell it from one that
  // a killed process left.
  Env::current()->lock(fd, 0, Env::kExclusiveLock);
  file->adopt(fd);
  return true;
}

}  // namespace platform
