#include "platform/TempFile.h"

#include <fcntl.h>
#include <stdlib.h>

#include <vector>

#include "platform/Failure.h"

namespace platform {

bool createTempFile(const std::string& folder, std::string* path, File* file) {
  if (path == nullptr || file == nullptr) return false;
  std::string name = folder.empty() ? "TQ_XXXXXX" : folder + "/TQ_XXXXXX";
  std::vector<char> buf(name.begin(), name.end());
  buf.push_back('\0');
  // mkostemp replaces the six X, creates the file with O_CREAT|O_EXCL and
  // mode 0600, and tries other names while a name is taken.
  int fd = ::mkostemp(buf.data(), O_CLOEXEC);
  if (fd < 0) {
    noteSystemFailure("cannot create a temporary file in \"" + (folder.empty() ? "." : folder) +
                      "\"");
    return false;
  }
  file->adopt(fd);
  path->assign(buf.data());
  return true;
}

}  // namespace platform
