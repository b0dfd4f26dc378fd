#include "platform/FileStamp.h"

#include "platform/Env.h"

namespace platform {

FileStamp stampOf(const std::string& name) {
  FileStatus status;
  if (!Env::current()->statusOf(name, &status, true)) return FileStamp();
  return status.stamp;
}

}  // namespace platform
