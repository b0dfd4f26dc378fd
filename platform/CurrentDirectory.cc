#include "platform/CurrentDirectory.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <vector>

namespace platform {

int getdisk() { return 0; }

void setdisk(int) {}

bool getcwd(char* buf, std::size_t size) {
  if (buf == nullptr || size == 0) return false;
  if (::getcwd(buf, size) == nullptr) {
    buf[0] = '\0';
    return false;
  }
  return true;
}

std::string currentDirectory() {
  std::vector<char> buf(4096);
  for (;;) {
    if (::getcwd(buf.data(), buf.size()) != nullptr) return buf.data();
    if (errno != ERANGE) return "";
    buf.resize(buf.size() * 2);
  }
}

bool chdir(const char* path) { return path != nullptr && ::chdir(path) == 0; }

DirectoryHandle::~DirectoryHandle() {
  if (fd_ >= 0) ::close(fd_);
}

DirectoryHandle::DirectoryHandle(DirectoryHandle&& other) noexcept : fd_(other.fd_) {
  other.fd_ = -1;
}

DirectoryHandle& DirectoryHandle::operator=(DirectoryHandle&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

DirectoryHandle DirectoryHandle::openCurrent() {
  DirectoryHandle handle;
  handle.fd_ = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#ifdef O_PATH
  // A folder that may be entered but not listed still allows fchdir through
  // a path-only descriptor.
  if (handle.fd_ < 0 && errno == EACCES) handle.fd_ = ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
#endif
  return handle;
}

bool DirectoryHandle::makeCurrent() const { return fd_ >= 0 && ::fchdir(fd_) == 0; }

}  // namespace platform
