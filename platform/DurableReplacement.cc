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

}  // namespace

DurableReplacement::DurableReplacement(const std::string& target) : target_(target) {}

DurableReplacement::~DurableReplacement() { abandon(); }

bool DurableReplacement::begin() {
  abandon();
  failed_ = false;
  written_ = 0;
  Env* env = Env::current();
  // With no file to take the bits from, those of a file created here (0666
  // less the umask); otherwise private until the old file's are set.
  bool replacing = env->kindOf(target_) == FileStatus::kRegular;
  int fd = env->createUnique(folderFor(target_), "TQ_", replacing ? 0600 : 0666, &temp_);
  if (fd < 0) {
    std::string folder = folderFor(target_);
    noteSystemFailure("cannot create a temporary file in \"" + (folder.empty() ? "." : folder) +
                      "\"");
    temp_.clear();
    return false;
  }
  file_.adopt(fd);
  // Held until the file is closed, so that a later writer can tell this
  // file from one that a killed process left (no lock then).
  env->lock(fd, 0, Env::kExclusiveLock);
  if (replacing && !env->takePermissions(fd, target_)) {
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
