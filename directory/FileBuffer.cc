#include "directory/FileBuffer.h"

#include <cstring>

FileBuffer::FileBuffer(platform::File* file, std::size_t bufferSize)
    : file_(file),
      buffer_(new char[bufferSize > 0 ? bufferSize : 1]),
      size_(bufferSize > 0 ? bufferSize : 1) {
  setp(buffer_.get(), buffer_.get() + size_);
}

FileBuffer::~FileBuffer() { drain(); }

FileBuffer::int_type FileBuffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (failed_) return traits_type::eof();
  long n = file_->readAt(offset_, buffer_.get(), size_);
  if (n < 0) failed_ = true;
  if (n <= 0) return traits_type::eof();
  offset_ += n;
  setg(buffer_.get(), buffer_.get(), buffer_.get() + n);
  return traits_type::to_int_type(*gptr());
}

bool FileBuffer::drain() {
  std::size_t n = static_cast<std::size_t>(pptr() - pbase());
  setp(buffer_.get(), buffer_.get() + size_);
  if (n == 0 || failed_) return !failed_;
  if (!file_->writeAt(offset_, buffer_.get(), n)) {
    failed_ = true;
    return false;
  }
  offset_ += static_cast<long>(n);
  return true;
}

FileBuffer::int_type FileBuffer::overflow(int_type c) {
  if (!drain()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

std::streamsize FileBuffer::xsputn(const char* s, std::streamsize n) {
  std::streamsize done = 0;
  while (done < n) {
    std::streamsize room = epptr() - pptr();
    if (room == 0) {
      if (!drain()) return done;
      continue;
    }
    std::streamsize chunk = n - done < room ? n - done : room;
    std::memcpy(pptr(), s + done, static_cast<std::size_t>(chunk));
    pbump(static_cast<int>(chunk));
    done += chunk;
  }
  return done;
}

int FileBuffer::sync() { return drain() ? 0 : -1; }
