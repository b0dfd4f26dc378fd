#include "platform/FileHandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/DosTime.h"

namespace platform {

// O_NONBLOCK: a FIFO under the name must not hang the open. Nothing is ever
// read through this handle, so the flag changes nothing else.
FileHandle::FileHandle(const char* name)
    : fd_(name == nullptr ? -1 : ::open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) {}

FileHandle::~FileHandle() { close(); }

FileHandle::FileHandle(FileHandle&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

long FileHandle::length() const {
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<long>(st.st_size);
}

std::uint32_t FileHandle::getftime() const {
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return 0;
  return packDosTime(st.st_mtime);
}

void FileHandle::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace platform
