// The standard library can neither open a file without blocking, look at
// what an open descriptor is, nor wait for input with a time limit: this
// file asks the operating system for those.
#include "tool/text/InputFile.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tool/CheckPoint.h"
#include "tool/Error.h"

namespace metdb {

namespace {

// What a file that is not regular is, for messages.
const char* kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

// Opens path for reading without blocking; -1 with *why set when it cannot
// be opened or is no regular file.
int openRegular(const std::string& path, long long* size, std::string* why) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    *why = "Cannot open \"" + path + "\": " + std::strerror(errno) + ".";
    return -1;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    std::string kind = ::fstat(fd, &st) == 0 ? kindOf(st.st_mode) : "unreadable";
    ::close(fd);
    *why = "\"" + path + "\" is " + kind + ", not a regular file, so it is not read.";
    return -1;
  }
  *size = static_cast<long long>(st.st_size);
  return fd;
}

}  // namespace

InputFile::InputFile(const std::string& path) : name_(path) {
  if (path == kStandardInput) {
    fd_ = STDIN_FILENO;
    name_ = "standard input";
    return;
  }
  std::string why;
  fd_ = openRegular(path, &size_, &why);
  if (fd_ < 0) throw Error(why);
  owned_ = true;
}

InputFile::~InputFile() {
  if (owned_) ::close(fd_);
}

std::size_t InputFile::readAt(long long offset, char* buf, std::size_t n) const {
  std::size_t done = 0;
  while (done < n) {
    ssize_t got = ::pread(fd_, buf + done, n - done, static_cast<off_t>(offset) + done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void InputFile::waitForInput() {
  struct pollfd p = {};
  p.fd = fd_;
  p.events = POLLIN;
  for (;;) {
    checkPoint();
    int r = ::poll(&p, 1, 100);
    if (r > 0 || (r < 0 && errno != EINTR)) return;
  }
}

InputFile::int_type InputFile::underflow() {
  if (!fault_.empty() || fd_ < 0) return traits_type::eof();
  checkPoint();
  for (;;) {
    // A regular file never makes a read wait; anything else is waited for
    // in slices, so that the wait can be stopped.
    if (!owned_) waitForInput();
    ssize_t got = ::read(fd_, block_, kBlock);
    if (got > 0) {
      setg(block_, block_, block_ + got);
      return traits_type::to_int_type(block_[0]);
    }
    if (got == 0) return traits_type::eof();
    if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
    fault_ =
        "Cannot read " + (owned_ ? "\"" + name_ + "\"" : name_) + ": " + std::strerror(errno) + ".";
    return traits_type::eof();
  }
}

}  // namespace metdb
