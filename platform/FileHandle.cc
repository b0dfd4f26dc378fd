#include "platform/FileHandle.h"

#include "platform/DosTime.h"
#include "platform/Env.h"

namespace platform {

// kNonBlocking: a FIFO under the name must not hang the open. Nothing is
// ever read through this handle, so the flag changes nothing else.
FileHandle::FileHandle(const char* name)
    : fd_(name == nullptr ? -1 : Env::current()->open(name, Env::kNonBlocking, 0)) {}

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
  FileStatus status;
  if (fd_ < 0 || !Env::current()->status(fd_, &status) || status.kind != FileStatus::kRegular) {
    return -1;
  }
  return static_cast<long>(status.stamp.size);
}

std::uint32_t FileHandle::getftime() const {
  FileStatus status;
  if (fd_ < 0 || !Env::current()->status(fd_, &status)) return 0;
  return packDosTime(static_cast<std::time_t>(status.stamp.modifiedNs / 1000000000));
}

void FileHandle::close() {
  if (fd_ >= 0) Env::current()->close(fd_);
  fd_ = -1;
}

}  // namespace platform
