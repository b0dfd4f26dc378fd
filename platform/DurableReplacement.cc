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

// Whether name itself (not followed if a link) is the open file.
bool namesFile(const std::string& name, const File& file) {
  FileStatus there;
  return Env::current()->statusOf(name, &there, false) && there.kind == FileStatus::kRegular &&
         there.stamp.sameFile(file.stamp());
}

}  // namespace

DurableReplacement::DurableReplacement(const std::string& target) : target_(target) {}

DurableReplacement::~DurableReplacement() { abandon(); }

bool DurableReplacement::begin() {
  abandon();
  failed_ = false;
  written_ = 0;
  Env* env = Env::current();
  // The bits of the file that stands under the name itself: a symbolic
  // link there is replaced, never followed, so that no one can have its
  // target's bits (another user's 0666, say) copied onto the new file. With
  // no regular file there, those of a file created here (0666 less the
  // umask); otherwise private until the old file's are set.
  FileStatus there;
  if (!env->statusOf(target_, &there, false)) there.kind = FileStatus::kMissing;
  bool replacing = there.kind == FileStatus::kRegular;
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
  if (replacing && !env->setPermissions(fd, there.permissions & 0777)) {
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
  // In a folder that others may write, the temporary name may have been
  // moved away and something else (a link to someone's file) put there:
  // only our own file is renamed over the target.
  if (!namesFile(temp_, file_)) {
    noteFailure("another process moved or replaced the temporary file \"" + temp_ + "\", so \"" +
                target_ + "\" was left as it was");
    file_.close();
    temp_.clear();  // the name is no longer ours to remove
    failed_ = true;
    return false;
  }
  if (!renameFile(temp_.c_str(), target_.c_str())) {
    abandon();
    return false;
  }
  committed_ = true;
  if (!namesFile(target_, file_)) {
    noteFailure("another process replaced \"" + target_ + "\" while it was being replaced");
    return false;
  }
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
