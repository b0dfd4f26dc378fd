#include "platform/PosixEnv.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

#include "platform/StatStamp.h"

namespace platform {

namespace {

void describe(const struct stat& st, FileStatus* status) {
  status->kind = S_ISREG(st.st_mode)                            ? FileStatus::kRegular
                 : S_ISDIR(st.st_mode)                          ? FileStatus::kFolder
                 : S_ISFIFO(st.st_mode)                         ? FileStatus::kFifo
                 : (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) ? FileStatus::kDevice
                 : S_ISSOCK(st.st_mode)                         ? FileStatus::kSocket
                                                                : FileStatus::kOther;
  status->permissions = st.st_mode & 07777;
  status->stamp = stampFromStat(st);
}

}  // namespace

int PosixEnv::open(const std::string& name, unsigned flags, unsigned mode) {
  int sys = O_CLOEXEC | O_NOCTTY;
  sys |= (flags & kReadWrite) ? O_RDWR : O_RDONLY;
  if (flags & kCreate) sys |= O_CREAT;
  if (flags & kExclusive) sys |= O_EXCL;
  if (flags & kTruncate) sys |= O_TRUNC;
  if (flags & kNoFollow) sys |= O_NOFOLLOW;
  if (flags & kNonBlocking) sys |= O_NONBLOCK;
  int fd;
  do {
    fd = ::open(name.c_str(), sys, static_cast<mode_t>(mode));
  } while (fd < 0 && errno == EINTR);
  return fd;
}

long PosixEnv::read(int file, void* buf, std::size_t n, long offset) {
  ssize_t r;
  do {
    r = ::pread(file, buf, n, static_cast<off_t>(offset));
  } while (r < 0 && errno == EINTR);
  return static_cast<long>(r);
}

long PosixEnv::write(int file, const void* buf, std::size_t n, long offset) {
  ssize_t w;
  do {
    w = ::pwrite(file, buf, n, static_cast<off_t>(offset));
  } while (w < 0 && errno == EINTR);
  return static_cast<long>(w);
}

bool PosixEnv::truncate(int file, long length) {
  int r;
  do {
    r = ::ftruncate(file, static_cast<off_t>(length));
  } while (r != 0 && errno == EINTR);
  return r == 0;
}

// Never retried: after a failed fsync the kernel may have dropped the dirty
// pages and marked them clean, so a second fsync would report success for
// data that is gone.
bool PosixEnv::sync(int file) { return ::fsync(file) == 0; }

bool PosixEnv::status(int file, FileStatus* status) {
  struct stat st;
  if (::fstat(file, &st) != 0) return false;
  describe(st, status);
  return true;
}

int PosixEnv::standardInput() { return STDIN_FILENO; }

long PosixEnv::readNext(int file, void* buf, std::size_t n) {
  ssize_t r;
  do {
    r = ::read(file, buf, n);
  } while (r < 0 && errno == EINTR);
  return static_cast<long>(r);
}

bool PosixEnv::waitReadable(int file, int milliseconds) {
  struct pollfd p = {};
  p.fd = file;
  p.events = POLLIN;
  int r = ::poll(&p, 1, milliseconds);
  return r != 0 && !(r < 0 && errno == EINTR);
}

// Of the status flags that F_SETFL sets, O_NONBLOCK is the only one opened
// with; setting none clears it without asking for them first.
bool PosixEnv::setBlocking(int file) { return ::fcntl(file, F_SETFL, 0) == 0; }

bool PosixEnv::setPermissions(int file, unsigned permissions) {
  return ::fchmod(file, static_cast<mode_t>(permissions & 07777)) == 0;
}

bool PosixEnv::setModified(int file, std::int64_t modifiedNs) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(modifiedNs / 1000000000);
  times[1].tv_nsec = static_cast<long>(modifiedNs % 1000000000);
  return ::futimens(file, times) == 0;
}

bool PosixEnv::lock(int file, int slot, LockKind kind) {
  struct flock lock = {};
  lock.l_type = kind == kExclusiveLock ? F_WRLCK : kind == kShared ? F_RDLCK : F_UNLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = slot;
  lock.l_len = 1;
  int r;
  do {
    r = ::fcntl(file, F_OFD_SETLK, &lock);
  } while (r != 0 && errno == EINTR);
  if (r != 0 && errno == EACCES) errno = EAGAIN;
  return r == 0;
}

bool PosixEnv::lockHeld(int file, int slot, LockKind kind, LockKind* held) {
  struct flock lock = {};
  lock.l_type = kind == kExclusiveLock ? F_WRLCK : F_RDLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = slot;
  lock.l_len = 1;
  *held = kUnlock;
  if (::fcntl(file, F_OFD_GETLK, &lock) != 0) return false;
  *held = lock.l_type == F_WRLCK ? kExclusiveLock : lock.l_type == F_RDLCK ? kShared : kUnlock;
  return true;
}

// Never retried: on Linux the descriptor is gone even when close reports EINTR.
bool PosixEnv::close(int file) { return ::close(file) == 0; }

bool PosixEnv::statusOf(const std::string& name, FileStatus* status, bool followLinks) {
  struct stat st;
  int r = followLinks ? ::stat(name.c_str(), &st) : ::lstat(name.c_str(), &st);
  if (r != 0) {
    *status = FileStatus();
    return errno == ENOENT || errno == ENOTDIR;
  }
  describe(st, status);
  return true;
}

bool PosixEnv::rename(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool PosixEnv::remove(const std::string& name) { return ::unlink(name.c_str()) == 0; }

bool PosixEnv::setPermissionsOf(const std::string& name, unsigned permissions) {
  return ::chmod(name.c_str(), static_cast<mode_t>(permissions & 07777)) == 0;
}

bool PosixEnv::makeFolder(const std::string& name, unsigned mode) {
  return ::mkdir(name.c_str(), static_cast<mode_t>(mode)) == 0;
}

bool PosixEnv::removeFolder(const std::string& name) { return ::rmdir(name.c_str()) == 0; }

bool PosixEnv::listFolder(const std::string& folder, std::vector<std::string>* names) {
  names->clear();
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return false;
  for (;;) {
    errno = 0;
    struct dirent* entry = ::readdir(dir);
    if (entry == nullptr) break;
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    names->push_back(entry->d_name);
  }
  int saved = errno;
  ::closedir(dir);
  errno = saved;
  return saved == 0;
}

bool PosixEnv::syncFolder(const std::string& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  int r = ::fsync(fd);
  // EINVAL: the file system keeps no folder data to flush, so nothing is lost.
  bool ok = r == 0 || errno == EINVAL;
  int saved = errno;
  ::close(fd);
  errno = saved;
  return ok;
}

std::uint64_t PosixEnv::random() {
  std::uint64_t bits = 0;
  char* p = reinterpret_cast<char*>(&bits);
  std::size_t done = 0;
  while (done < sizeof bits) {
    ssize_t r = ::getrandom(p + done, sizeof bits - done, 0);
    if (r < 0) {
      if (errno == EINTR) continue;
      break;  // no entropy source: fall back on the clock below
    }
    done += static_cast<std::size_t>(r);
  }
  if (done < sizeof bits) {
    bits ^= static_cast<std::uint64_t>(nowNs()) * 0x9E3779B97F4A7C15ull ^
            static_cast<std::uint64_t>(::getpid());
  }
  return bits;
}

std::int64_t PosixEnv::nowNs() {
  struct timespec now;
  ::clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double PosixEnv::monotonicSeconds() {
  struct timespec now;
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void PosixEnv::sleepMilliseconds(int milliseconds) {
  struct timespec pause;
  pause.tv_sec = milliseconds / 1000;
  pause.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000;
  while (::nanosleep(&pause, &pause) != 0 && errno == EINTR) {
  }
}

std::string PosixEnv::variable(const std::string& name) {
  const char* value = ::getenv(name.c_str());
  return value != nullptr ? value : "";
}

std::string PosixEnv::programFile() {
  std::string buf(4096, '\0');
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", &buf[0], buf.size());
    if (n < 0) return "";
    if (static_cast<std::size_t>(n) < buf.size()) return buf.substr(0, static_cast<std::size_t>(n));
    buf.resize(buf.size() * 2);
  }
}

}  // namespace platform
