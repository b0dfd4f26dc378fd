#include "platform/LockFile.h"

#include <errno.h>

#include "platform/Env.h"
#include "platform/Failure.h"

namespace platform {

LockFile::~LockFile() { close(); }

LockFile::LockFile(LockFile&& other) noexcept : fd_(other.fd_), readOnly_(other.readOnly_) {
  other.fd_ = -1;
}

LockFile& LockFile::operator=(LockFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.fd_;
    readOnly_ = other.readOnly_;
    other.fd_ = -1;
  }
  return *this;
}

bool LockFile::open(const std::string& name) {
  close();
  Env* env = Env::current();
  const unsigned common = Env::kNonBlocking;
  int fd = env->open(name, Env::kReadWrite | Env::kCreate | Env::kExclusive | common, 0666);
  if (fd >= 0) {
    // Whoever opens the database first makes the file; every user who may
    // change the database must be able to lock it exclusively later, so
    // the file is writable by all, whatever the umask. It holds no data.
    env->setPermissions(fd, 0666);
  } else if (errno == EEXIST) {
    fd = env->open(name, Env::kReadWrite | common, 0);
  }
  bool readOnly = false;
  if (fd < 0 && (errno == EROFS || errno == EACCES || errno == EPERM)) {
    int refused = errno;
    fd = env->open(name, common, 0);
    // No file to read: the refusal to create one is the cause.
    if (fd < 0 && errno == ENOENT) errno = refused;
    readOnly = true;
  }
  if (fd < 0) {
    noteSystemFailure("cannot open the lock file \"" + name + "\"");
    return false;
  }
  FileStatus status;
  if (!env->status(fd, &status) || status.kind != FileStatus::kRegular) {
    noteFailure("the lock file \"" + name + "\" is not a regular file");
    env->close(fd);
    return false;
  }
  fd_ = fd;
  readOnly_ = readOnly;
  return true;
}

FileStamp LockFile::stamp() const {
  FileStatus status;
  if (fd_ < 0 || !Env::current()->status(fd_, &status)) return FileStamp();
  return status.stamp;
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
