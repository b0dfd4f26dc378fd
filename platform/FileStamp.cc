#include "platform/FileStamp.h"

#include <sys/stat.h>

#include "platform/StatStamp.h"

namespace platform {

FileStamp stampOf(const std::string& name) {
  struct stat st;
  if (::stat(name.c_str(), &st) != 0) return FileStamp();
  return stampFromStat(st);
}

}  // namespace platform
