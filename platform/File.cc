#include "platform/File.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Failure.h"
#include "platform/StatStamp.h"

namespace platform {

File::~File() { close(); }

File::File(File&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

bool File::open(const std::string& name, Mode mode) {
  close();
  int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;  // O_NONBLOCK: a FIFO must not hang the open
  switch (mode) {
    case kReadOnly:
      flags |= O_RDONLY;
      break;
    case kReadWrite:
      flags |= O_RDWR;
      break;
    case kReadWriteCreate:
      flags |= O_RDWR | O_CREAT;
      break;
  }
  int fd;
  do {
    fd = ::open(name.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    noteSystemFailure("cannot open \"" + name + "\"");
    return false;
  }
  // Of the status flags that F_SETFL sets, O_NONBLOCK is the only one
  // opened with; setting none clears it without asking for them first.
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::fcntl(fd, F_SETFL, 0) != 0) {
    noteFailure("\"" + name + "\" is not a regular file");
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

long File::readAt(long offset, void* buf, std::size_t n) const {
  if (fd_ < 0 || offset < 0) return -1;
  char* p = static_cast<char*>(buf);
  std::size_t done = 0;
  while (done < n) {
    ssize_t r = ::pread(fd_, p + done, n - done, static_cast<off_t>(offset + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      noteSystemFailure("cannot read");
      return -1;
    }
    if (r == 0) break;  // end of file
    done += static_cast<std::size_t>(r);
  }
  return static_cast<long>(done);
}

bool File::writeAt(long offset, const void* buf, std::size_t n) {
  if (fd_ < 0 || offset < 0) return false;
  const char* p = static_cast<const char*>(buf);
  std::size_t done = 0;
  while (done < n) {
    ssize_t w = ::pwrite(fd_, p + done, n - done, static_cast<off_t>(offset + done));
    if (w < 0) {
      if (errno == EINTR) continue;
      noteSystemFailure("cannot write");
      return false;
    }
    if (w == 0) {  // no progress: give up rather than spin
      noteFailure("cannot write: no byte was written");
      return false;
    }
    done += static_cast<std::size_t>(w);
  }
  return true;
}

long File::length() const {
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
  return static_cast<long>(st.st_size);
}

bool File::truncate(long length) {
  if (fd_ < 0 || length < 0) return false;
  int r;
  do {
    r = ::ftruncate(fd_, static_cast<off_t>(length));
  } while (r != 0 && errno == EINTR);
  if (r != 0) noteSystemFailure("cannot change the length of a file");
  return r == 0;
}

bool File::sync() {
  if (fd_ < 0) return false;
  if (::fsync(fd_) == 0) return true;
  noteSystemFailure("cannot flush a file to the disk");
  return false;
}

bool File::setModifiedAfter(std::int64_t afterNs) {
  FileStamp now = stamp();
  if (now.exists && now.modifiedNs > afterNs) return true;
  return setModified(afterNs + 1);
}

FileStamp File::stamp() const {
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return FileStamp();
  return stampFromStat(st);
}

bool File::setModified(std::int64_t modifiedNs) {
  if (fd_ < 0) return false;
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(modifiedNs / 1000000000);
  times[1].tv_nsec = static_cast<long>(modifiedNs % 1000000000);
  if (::futimens(fd_, times) == 0) return true;
  noteSystemFailure("cannot set a file's time");
  return false;
}

bool File::close() {
  if (fd_ < 0) return true;
  // Never retried: on Linux the descriptor is gone even when close reports EINTR.
  int r = ::close(fd_);
  fd_ = -1;
  if (r != 0) noteSystemFailure("cannot close a file");
  return r == 0;
}

void File::adopt(int fd) {
  close();
  fd_ = fd;
}

}  // namespace platform
