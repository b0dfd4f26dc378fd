#ifndef METDB_DIRECTORY_FILEBUFFER_H_
#define METDB_DIRECTORY_FILEBUFFER_H_

#include <cstddef>
#include <memory>
#include <streambuf>

#include "platform/File.h"

// A stream buffer over an open platform::File, so that text streams read
// and write through the platform layer (which refuses directories, FIFOs and
// devices) with one large buffer. It is used either for reading from the
// start of the file or for writing from the start, not both. The file is the
// caller's and must outlive the buffer.
//
// Errors never throw: a failed read ends the input early and a failed write
// makes every later one fail; failed() tells either, so that the loss is
// not mistaken for a short file or a finished write.
class FileBuffer : public std::streambuf {
 public:
  // A buffer of bufferSize bytes (at least 1) over file, which stays the
  // caller's and is not closed. Reading and writing start at offset 0.
  FileBuffer(platform::File* file, std::size_t bufferSize);
  // Writes what is still buffered.
  ~FileBuffer() override;

  FileBuffer(const FileBuffer&) = delete;
  FileBuffer& operator=(const FileBuffer&) = delete;

  // True once a read or a write of the file failed.
  bool failed() const { return failed_; }

  // The bytes read from the file and not yet taken, [readPosition(),
  // readEnd()): empty until sgetc() or the like refills the buffer. take(n)
  // takes the first n of them (n no more than there are), so that a reader
  // can scan them in place instead of a character per call.
  const char* readPosition() const { return gptr(); }
  const char* readEnd() const { return egptr(); }
  void take(std::size_t n) { gbump(static_cast<int>(n)); }

 protected:
  // Refills the buffer from the file; eof at the end of the file or after a
  // failure.
  int_type underflow() override;
  // Writes the full buffer to the file, then buffers c; eof when the write
  // fails.
  int_type overflow(int_type c) override;
  // Buffers n bytes of s, writing full buffers out; returns how many were
  // taken, fewer than n when a write failed.
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  // Writes the buffered output to the file; -1 when that fails.
  int sync() override;

 private:
  // Writes the buffered output to the file.
  bool drain();

  platform::File* file_;
  // Left uninitialised: only the bytes a read or a write fills are ever
  // touched, so a small file costs no more than its size.
  std::unique_ptr<char[]> buffer_;
  std::size_t size_;
  long offset_ = 0;  // file position of the next read or write
  bool failed_ = false;
};

#endif  // METDB_DIRECTORY_FILEBUFFER_H_
