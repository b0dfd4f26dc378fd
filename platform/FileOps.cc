#include "platform/FileOps.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/CurrentDirectory.h"
#include "platform/Failure.h"
#include "platform/File.h"

namespace platform {

bool removeFile(const char* name) { return name != nullptr && ::unlink(name) == 0; }

bool renameFile(const char* from, const char* to) {
  if (from == nullptr || to == nullptr) return false;
  if (::rename(from, to) == 0) return true;
  noteSystemFailure(std::string("cannot rename \"") + from + "\" to \"" + to + "\"");
  return false;
}

bool pathExists(const char* name) {
  struct stat st;
  return name != nullptr && ::lstat(name, &st) == 0;
}

bool isRegularFile(const char* name) {
  struct stat st;
  return name != nullptr && ::stat(name, &st) == 0 && S_ISREG(st.st_mode);
}

bool copyPermissions(const char* from, const char* to) {
  struct stat st;
  if (from == nullptr || to == nullptr || ::stat(from, &st) != 0) return false;
  return ::chmod(to, st.st_mode & 07777) == 0;
}

bool setModifiedAtLeast(const std::string& name, std::int64_t atLeastNs) {
  File file;
  if (!file.open(name, File::kReadWrite)) return false;
  return file.setModifiedAfter(atLeastNs - 1);
}

bool syncFolderOf(const char* name) {
  if (name == nullptr) return false;
  int fd = ::open(folderOf(name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  int r;
  do {
    r = ::fsync(fd);
  } while (r != 0 && errno == EINTR);
  // EINVAL: the file system keeps no folder data to flush, so nothing is lost.
  bool ok = r == 0 || errno == EINVAL;
  ::close(fd);
  return ok;
}

std::string folderOf(const std::string& name) {
  std::string::size_type slash = name.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return name.substr(0, slash);
}

std::string tempFolder() {
  const char* dir = ::getenv("TMPDIR");
  return (dir != nullptr && *dir != '\0') ? dir : "/tmp";
}

std::string absolutePath(const std::string& name) {
  if (!name.empty() && name[0] == '/') return name;
  std::string cwd = currentDirectory();
  // Joining "" would turn the name into one under the root; the relative
  // name at least still means the right file.
  if (cwd.empty()) return name;
  return cwd + "/" + name;
}

}  // namespace platform
