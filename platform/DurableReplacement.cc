#include "platform/DurableReplacement.h"

#include "platform/Env.h"
#include "platform/Failure.h"
#include "platform/FileOps.h"

namespace platform {

namespace {

// The folder that Env::createUnique takes for a file name: "" for the
// current one, so that the temporary file's name is as relative as the
// target's.
std::string folderFor(const std::string& name) {
  return name.find('/') == std::string::npos ? "" : folderOf(name);
}

// The permission bits of the regular file name, asked of the open file so
// that they are the bits of the file that is there; -1 when there is none.
long permissionsOf(Env* env, const std::string& name) {
  int fd = env->open(name, Env::kNonBlocking, 0);
  FileStatus status;
  if (fd >= 0) {
    bool known = env->status(fd, &status);
    env->close(fd);
    if (known && status.kind == FileStatus::kRegular) return status.permissions;
    return -1;
  }
  // Not readable (a file only its owner may write): its name still tells.
  if (env->statusOf(name, &status, true) && status.kind == FileStatus::kRegular) {
    return status.permissions;
  }
  return -1;
}

}  // namespace

DurableReplacement::DurableReplacement(const std::string& target) : target_(target) {}

DurableReplacement::~DurableReplacement() { abandon(); }

bool DurableReplacement::begin() {
  abandon();
  failed_ = false;
  written_ = 0;
  Env* env = Env::current();
  long permissions = permissionsOf(env, target_);
  // With no file to take the bits from, those of a file created here (0666
  // less the umask); otherwise private until the old file's are set.
  int fd = env->createUnique(folderFor(target_), "TQ_", permissions < 0 ? 0666 : 0600, &temp_);
  if (fd < 0) {
    std::string folder = folderFor(target_);
    noteSystemFailure("cannot create a temporary file in \"" + (folder.empty() ? "." : folder) +
                      "\"");
    temp_.clear();
    return false;
  }
  file_.adopt(fd);
  if (permissions >= 0 && !env->setPermissions(fd, static_cast<unsigned>(permissions))) {
    noteSystemFailure("cannot set the permissions of \"" + temp_ + "\"");
    abandon();
    return false;
  }
  return true;
}

bool DurableReplacement::append(const void* data, std::size_t n) {
  if (failed_ || !file_.isOpen()) return false;
  if (!file_.writeAt(written_, data, n)) {
    failed_ = true;
    return false;
  }
  written_ += static_cast<long>(n);
  return true;
}

bool DurableReplacement::setModifiedAfter(std::int64_t afterNs) {
  return file_.isOpen() && file_.setModifiedAfter(afterNs);
}

bool DurableReplacement::commit() {
  if (committed_) return true;
  if (failed_ || !file_.isOpen() || !file_.sync()) {
    abandon();
    return false;
  }
  if (!renameFile(temp_.c_str(), target_.c_str())) {
    abandon();
    return false;
  }
  committed_ = true;
  return syncFolderOf(target_.c_str());
}

void DurableReplacement::abandon() {
  if (committed_) return;
  file_.close();
  if (!temp_.empty()) removeFile(temp_.c_str());
  temp_.clear();
  failed_ = true;
}

}  // namespace platform
