#include "platform/FileOps.h"

#include <errno.h>

#include "platform/CurrentDirectory.h"
#include "platform/Env.h"
#include "platform/Failure.h"
#include "platform/File.h"

namespace platform {

bool removeFile(const char* name) { return name != nullptr && Env::current()->remove(name); }

bool renameFile(const char* from, const char* to) {
  if (from == nullptr || to == nullptr) return false;
  if (Env::current()->rename(from, to)) return true;
  noteSystemFailure(std::string("cannot rename \"") + from + "\" to \"" + to + "\"");
  return false;
}

bool pathExists(const char* name) {
  FileStatus status;
  return name != nullptr && Env::current()->statusOf(name, &status, false) &&
         status.kind != FileStatus::kMissing;
}

bool isRegularFile(const char* name) {
  FileStatus status;
  return name != nullptr && Env::current()->statusOf(name, &status, true) &&
         status.kind == FileStatus::kRegular;
}

bool copyPermissions(const char* from, const char* to) {
  FileStatus status;
  if (from == nullptr || to == nullptr || !Env::current()->statusOf(from, &status, true) ||
      status.kind == FileStatus::kMissing) {
    return false;
  }
  // Through a descriptor of to itself: in a folder that others may write,
  // a link put at to (a temporary file's name, say) must not pass the
  // change on to its target.
  Env* env = Env::current();
  int fd = env->open(to, Env::kNoFollow | Env::kNonBlocking, 0);
  if (fd < 0) return false;
  bool set = env->setPermissions(fd, status.permissions);
  env->close(fd);
  return set;
}

bool setModifiedAtLeast(const std::string& name, std::int64_t atLeastNs) {
  File file;
  // Not through a link, as above; the owner may set the time on a
  // descriptor open for reading.
  if (!file.open(name, File::kReadOnlyNoLink)) return false;
  return file.setModifiedAfter(atLeastNs - 1);
}

bool syncFolderOf(const char* name) {
  if (name == nullptr) return false;
  if (Env::current()->syncFolder(folderOf(name))) return true;
  noteSystemFailure("cannot flush the folder \"" + folderOf(name) + "\" to the disk");
  return false;
}

std::string folderOf(const std::string& name) {
  std::string::size_type slash = name.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return name.substr(0, slash);
}

std::string tempFolder() { return Env::current()->tempFolder(); }

std::string absolutePath(const std::string& name) {
  if (!name.empty() && name[0] == '/') return name;
  std::string cwd = currentDirectory();
  // Joining "" would turn the name into one under the root; the relative
  // name at least still means the right file.
  if (cwd.empty()) return name;
  return cwd + "/" + name;
}

}  // namespace platform
