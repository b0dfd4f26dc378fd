#include "platform/File.h"

#include <errno.h>

#include "platform/Env.h"
#include "platform/Failure.h"

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
  Env* env = Env::current();
  // kNonBlocking: a FIFO must not hang the open.
  unsigned flags = Env::kNonBlocking;
  switch (mode) {
    case kReadOnly:
      break;
    case kReadWrite:
      flags |= Env::kReadWrite;
      break;
    case kReadWriteCreate:
      flags |= Env::kReadWrite | Env::kCreate;
      break;
    case kReadOnlyNoLink:
      flags |= Env::kNoFollow;
      break;
  }
  int fd = env->open(name, flags, 0666);
  if (fd < 0) {
    noteSystemFailure("cannot open \"" + name + "\"");
    return false;
  }
  FileStatus status;
  if (!env->status(fd, &status) || status.kind != FileStatus::kRegular || !env->setBlocking(fd)) {
    noteFailure("\"" + name + "\" is not a regular file");
    env->close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

long File::readAt(long offset, void* buf, std::size_t n) const {
  if (fd_ < 0 || offset < 0) return -1;
  Env* env = Env::current();
  char* p = static_cast<char*>(buf);
  std::size_t done = 0;
  while (done < n) {
    long r = env->read(fd_, p + done, n - done, offset + static_cast<long>(done));
    if (r < 0) {
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
  Env* env = Env::current();
  const char* p = static_cast<const char*>(buf);
  std::size_t done = 0;
  while (done < n) {
    long w = env->write(fd_, p + done, n - done, offset + static_cast<long>(done));
    if (w < 0) {
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
  FileStatus status;
  if (fd_ < 0 || !Env::current()->status(fd_, &status)) return -1;
  return static_cast<long>(status.stamp.size);
}

bool File::truncate(long length) {
  if (fd_ < 0 || length < 0) return false;
  if (Env::current()->truncate(fd_, length)) return true;
  noteSystemFailure("cannot change the length of a file");
  return false;
}

bool File::sync() {
  if (fd_ < 0) return false;
  if (Env::current()->sync(fd_)) return true;
  noteSystemFailure("cannot flush a file to the disk");
  return false;
}

bool File::setModifiedAfter(std::int64_t afterNs) {
  FileStamp now = stamp();
  if (now.exists && now.modifiedNs > afterNs) return true;
  return setModified(afterNs + 1);
}

FileStamp File::stamp() const {
  FileStatus status;
  if (fd_ < 0 || !Env::current()->status(fd_, &status)) return FileStamp();
  return status.stamp;
}

bool File::setModified(std::int64_t modifiedNs) {
  if (fd_ < 0) return false;
  if (Env::current()->setModified(fd_, modifiedNs)) return true;
  noteSystemFailure("cannot set a file's time");
  return false;
}

bool File::close() {
  if (fd_ < 0) return true;
  bool ok = Env::current()->close(fd_);
  fd_ = -1;
  if (!ok) noteSystemFailure("cannot close a file");
  return ok;
}

void File::adopt(int fd) {
  close();
  fd_ = fd;
}

}  // namespace platform
