#include "platform/LockFile.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "platform/Failure.h"
#include "platform/StatStamp.h"

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
  const int common = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  int fd;
  do {
    fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | common, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd >= 0) {
    // Whoever opens the database first makes the file; every user who may
    // change the database must be able to lock it exclusively later, so
    // the file is writable by all, whatever the umask. It holds no data.
    ::fchmod(fd, 0666);
  } else if (errno == EEXIST) {
    do {
      fd = ::open(name.c_str(), O_RDWR | common);
    } while (fd < 0 && errno == EINTR);
  }
  bool readOnly = false;
  if (fd < 0 && (errno == EROFS || errno == EACCES || errno == EPERM)) {
    int refused = errno;
    do {
      fd = ::open(name.c_str(), O_RDONLY | common);
    } while (fd < 0 && errno == EINTR);
    // No file to read: the refusal to create one is the cause.
    if (fd < 0 && errno == ENOENT) errno = refused;
    readOnly = true;
  }
  if (fd < 0) {
    noteSystemFailure("cannot open the lock file \"" + name + "\"");
    return false;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    noteFailure("the lock file \"" + name + "\" is not a regular file");
    ::close(fd);
    return false;
  }
  fd_ = fd;
  readOnly_ = readOnly;
  return true;
}

FileStamp LockFile::stamp() const {
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return FileStamp();
  return stampFromStat(st);
}

bool LockFile::set(int slot, Kind kind, bool* busy) {
  *busy = false;
  if (fd_ < 0) return false;
  struct flock lock = {};
  lock.l_type = kind == kExclusive ? F_WRLCK : kind == kShared ? F_RDLCK : F_UNLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = slot;
  lock.l_len = 1;
  int r;
  do {
    r = ::fcntl(fd_, F_OFD_SETLK, &lock);
  } while (r != 0 && errno == EINTR);
  if (r == 0) return true;
  if (errno == EAGAIN || errno == EACCES) {
    *busy = true;
  } else {
    noteSystemFailure("cannot lock the lock file");
  }
  return false;
}

void LockFile::close() {
  if (fd_ >= 0) ::close(fd_);  // drops every lock held through it
  fd_ = -1;
}

void sleepMilliseconds(int milliseconds) {
  struct timespec pause;
  pause.tv_sec = milliseconds / 1000;
  pause.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000;
  while (::nanosleep(&pause, &pause) != 0 && errno == EINTR) {
  }
}

double monotonicSeconds() {
  struct timespec now;
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace platform
