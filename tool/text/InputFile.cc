#include "tool/text/InputFile.h"

#include <cerrno>
#include <cstring>

#include "platform/Env.h"
#include "tool/CheckPoint.h"
#include "tool/Error.h"

namespace metdb {

namespace {

// What a file that is not regular is, for messages.
const char* kindOf(platform::FileStatus::Kind kind) {
  switch (kind) {
    case platform::FileStatus::kFolder:
      return "a folder";
    case platform::FileStatus::kFifo:
      return "a FIFO";
    case platform::FileStatus::kDevice:
      return "a device";
    case platform::FileStatus::kSocket:
      return "a socket";
    default:
      return "not a regular file";
  }
}

// Opens path for reading without blocking; -1 with *why and *cause set when
// it cannot be opened or is no regular file.
int openRegular(platform::Env* env, const std::string& path, long long* size, std::string* why,
                Error::Cause* cause) {
  int fd = env->open(path, platform::Env::kRead | platform::Env::kNonBlocking, 0);
  if (fd < 0) {
    *cause = errno == ENOENT ? Error::Cause::kNotFound : Error::Cause::kSystem;
    *why = "Cannot open \"" + path + "\": " + std::strerror(errno) + ".";
    return -1;
  }
  platform::FileStatus status;
  bool known = env->status(fd, &status);
  if (!known || status.kind != platform::FileStatus::kRegular || !env->setBlocking(fd)) {
    std::string kind = !known ? "unreadable" : kindOf(status.kind);
    env->close(fd);
    *cause = Error::Cause::kBadInput;
    *why = "\"" + path + "\" is " + kind + ", not a regular file, so it is not read.";
    return -1;
  }
  *size = status.stamp.size;
  return fd;
}

}  // namespace

InputFile::InputFile(const std::string& path) : name_(path), env_(platform::Env::current()) {
  if (path == kStandardInput) {
    fd_ = env_->standardInput();
    name_ = "standard input";
    return;
  }
  std::string why;
  Error::Cause cause = Error::Cause::kOther;
  fd_ = openRegular(env_, path, &size_, &why, &cause);
  if (fd_ < 0) throw Error(why, cause);
  owned_ = true;
}

InputFile::~InputFile() {
  if (owned_) env_->close(fd_);
}

std::size_t InputFile::readAt(long long offset, char* buf, std::size_t n) const {
  if (!owned_) return 0;
  std::size_t done = 0;
  while (done < n) {
    long got = env_->read(fd_, buf + done, n - done, static_cast<long>(offset + done));
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void InputFile::waitForInput() {
  for (;;) {
    checkPoint();
    if (env_->waitReadable(fd_, 100)) return;
  }
}

InputFile::int_type InputFile::underflow() {
  if (!fault_.empty() || fd_ < 0) return traits_type::eof();
  checkPoint();
  for (;;) {
    long got;
    if (owned_) {
      // A regular file never makes a read wait.
      got = env_->read(fd_, block_, kBlock, static_cast<long>(offset_));
      if (got > 0) offset_ += got;
    } else {
      // Anything else is waited for in slices, so that the wait can be
      // stopped.
      waitForInput();
      got = env_->readNext(fd_, block_, kBlock);
    }
    if (got > 0) {
      setg(block_, block_, block_ + got);
      return traits_type::to_int_type(block_[0]);
    }
    if (got == 0) return traits_type::eof();
    if (errno == EAGAIN || errno == EWOULDBLOCK) continue;
    fault_ =
        "Cannot read " + (owned_ ? "\"" + name_ + "\"" : name_) + ": " + std::strerror(errno) + ".";
    return traits_type::eof();
  }
}

}  // namespace metdb
