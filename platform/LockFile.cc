#include "platform/LockFile.h"

#include <errno.h>

#include "platform/Env.h"
#include "platform/Failure.h"
#include "platform/FileOps.h"

namespace platform {

namespace {

// Puts a new, empty lock file with permissions in the place of name (a file
// this process may not open, or a link, put there by someone else): made
// under a name no one can guess and renamed over it. Its handle, or -1 with
// errno as it was (the refusal of the old file is the cause to report).
int replaceLockFile(Env* env, const std::string& name, unsigned permissions) {
  int refused = errno;
  std::string fresh;
  int fd = env->createUnique(folderOf(name), "TQ_", 0600, &fresh);
  if (fd >= 0 && env->setPermissions(fd, permissions) && env->rename(fresh, name)) return fd;
  if (fd >= 0) {
    env->close(fd);
    env->remove(fresh);
  }
  errno = refused;
  return -1;
}

}  // namespace

LockFile::~LockFile() { close(); }

LockFile::LockFile(LockFile&& other) noexcept
    : fd_(other.fd_), readOnly_(other.readOnly_), identity_(other.identity_) {
  other.fd_ = -1;
}

LockFile& LockFile::operator=(LockFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.fd_;
    readOnly_ = other.readOnly_;
    identity_ = other.identity_;
    other.fd_ = -1;
  }
  return *this;
}

bool LockFile::open(const std::string& name, const std::string& model) {
  close();
  Env* env = Env::current();
  const unsigned common = Env::kNonBlocking | Env::kNoFollow;
  // The model's bits come from its descriptor. Only a process that may
  // write it makes the lock file: one made by a reader would be the
  // reader's, whom writers of another group could not open it for.
  FileStatus modelStatus;
  bool mayCreate = true;
  int modelRefusal = 0;
  int m = env->open(model, Env::kReadWrite | Env::kNonBlocking, 0);
  if (m >= 0) {
    if (!env->status(m, &modelStatus)) modelStatus.kind = FileStatus::kMissing;
    env->close(m);
  } else if (errno != ENOENT) {
    mayCreate = false;
    modelRefusal = errno;
  }
  bool modelled = modelStatus.kind == FileStatus::kRegular;
  int fd = -1;
  if (mayCreate) {
    fd = env->open(name, Env::kReadWrite | Env::kCreate | Env::kExclusive | common,
                   modelled ? 0600 : 0666);
    if (fd >= 0 && modelled) env->setPermissions(fd, modelStatus.permissions & 0666);
  }
  if (fd < 0 && (!mayCreate || errno == EEXIST)) {
    fd = env->open(name, Env::kReadWrite | common, 0);
    // Missing, and not ours to make: the data file's refusal is the cause.
    if (fd < 0 && errno == ENOENT && modelRefusal != 0) errno = modelRefusal;
  }
  // One that a writer of the data file may not open, or a link, was put
  // there by another user, who could otherwise keep every writer out: a
  // writer replaces it. Whoever still holds the old file is kept out by the
  // guard on the data file (SharedLock) and moves to the new one.
  if (fd < 0 && modelled && (errno == EACCES || errno == EPERM || errno == ELOOP)) {
    fd = replaceLockFile(env, name, modelStatus.permissions & 0666);
  }
  bool readOnly = false;
  if (fd < 0 && (errno == EROFS || errno == EACCES || errno == EPERM)) {
    int refused = errno;
    fd = env->open(name, common, 0);
    // No file to read: the refusal to create one is the cause.
    if (fd < 0 && errno == ENOENT) errno = refused;
    readOnly = true;
  }
  if (fd < 0 && errno == ELOOP) {
    noteFailure("the lock file \"" + name +
                "\" is a symbolic link, which is never followed; remove it and it is made "
                "again");
    return false;
  }
  if (fd < 0) {
    noteSystemFailure("cannot open the lock file \"" + name + "\"");
    return false;
  }
  FileStatus status;
  if (!env->status(fd, &status) || status.kind != FileStatus::kRegular) {
    env->close(fd);
    fd = modelled ? replaceLockFile(env, name, modelStatus.permissions & 0666) : -1;
    if (fd < 0) {
      noteFailure("the lock file \"" + name + "\" is not a regular file");
      return false;
    }
    readOnly = false;
    if (!env->status(fd, &status)) status = FileStatus();
  }
  fd_ = fd;
  readOnly_ = readOnly;
  identity_ = status.stamp;
  return true;
}

FileStamp LockFile::stamp() const {
  FileStatus status;
  if (fd_ < 0 || !Env::current()->status(fd_, &status)) return FileStamp();
  return status.stamp;
}

bool LockFile::openExisting(const std::string& name) {
  close();
  Env* env = Env::current();
  bool readOnly = false;
  int fd = env->open(name, Env::kReadWrite | Env::kNonBlocking, 0);
  if (fd < 0 && (errno == EROFS || errno == EACCES || errno == EPERM)) {
    fd = env->open(name, Env::kNonBlocking, 0);
    readOnly = true;
  }
  if (fd < 0) return false;
  FileStatus status;
  if (!env->status(fd, &status) || status.kind != FileStatus::kRegular) {
    env->close(fd);
    return false;
  }
  fd_ = fd;
  readOnly_ = readOnly;
  identity_ = status.stamp;
  return true;
}

bool LockFile::isAt(const std::string& name, bool followLinks) const {
  FileStatus there;
  if (fd_ < 0 || !Env::current()->statusOf(name, &there, followLinks)) return false;
  return there.kind == FileStatus::kRegular && there.stamp.sameFile(identity_);
}

LockFile::Kind LockFile::heldByOthers(int slot, Kind kind) const {
  Env::LockKind held = Env::kUnlock;
  if (fd_ < 0 || kind == kUnlocked) return kUnlocked;
  if (!Env::current()->lockHeld(fd_, slot, kind == kExclusive ? Env::kExclusiveLock : Env::kShared,
                                &held)) {
    return kUnlocked;
  }
  return held == Env::kExclusiveLock ? kExclusive : held == Env::kShared ? kShared : kUnlocked;
}

bool LockFile::set(int slot, Kind kind, bool* busy) {
  *busy = false;
  if (fd_ < 0) return false;
  Env::LockKind how = kind == kExclusive ? Env::kExclusiveLock
                      : kind == kShared  ? Env::kShared
                                         : Env::kUnlock;
  if (Env::current()->lock(fd_, slot, how)) return true;
  if (errno == EAGAIN) {
    *busy = true;
  } else {
    noteSystemFailure("cannot lock the lock file");
  }
  return false;
}

void LockFile::close() {
  if (fd_ >= 0) Env::current()->close(fd_);  // drops every lock held through it
  fd_ = -1;
}

void sleepMilliseconds(int milliseconds) { Env::current()->sleepMilliseconds(milliseconds); }

double monotonicSeconds() { return Env::current()->monotonicSeconds(); }

}  // namespace platform
