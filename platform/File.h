#ifndef METDB_PLATFORM_FILE_H_
#define METDB_PLATFORM_FILE_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/FileStamp.h"

namespace platform {

// A file opened for reading and, depending on the mode, writing, with
// positioned reads and writes whose results are checked. Closes the file
// when destroyed. Move-only. No operation throws. A failing operation leaves
// the system's reason in platform::lastFailure().
class File {
 public:
  // How open() opens a file: always for reading, and for writing too unless
  // kReadOnly.
  enum Mode {
    kReadOnly,         // must exist
    kReadWrite,        // must exist
    kReadWriteCreate,  // created empty (mode 0666 less the umask) when missing
    kReadOnlyNoLink    // as kReadOnly, but a symbolic link at the name is refused
  };

  // A closed file.
  File() = default;
  // Closes the file if open; a failing close goes unreported.
  ~File();
  // Takes over other's open file (if any), leaving other closed.
  File(File&& other) noexcept;
  // Closes this object's file, then takes over other's as above.
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens name. Returns false (and leaves the object closed) when the file
  // cannot be opened in that mode, or is not a regular file (a directory, a
  // FIFO, a device), so that a caller never blocks on or misreads one.
  bool open(const std::string& name, Mode mode);
  // Whether a file is open.
  bool isOpen() const { return fd_ >= 0; }

  // Reads up to n bytes at offset, retrying short reads until end of file.
  // Returns the number of bytes read, or -1 on an error.
  long readAt(long offset, void* buf, std::size_t n) const;
  // Writes all n bytes at offset. False when any byte could not be written
  // (a full disk, a file size limit: SIGXFSZ must be ignored by the caller
  // for the limit to show as a failed write).
  bool writeAt(long offset, const void* buf, std::size_t n);
  // Length in bytes, or -1 on an error.
  long length() const;
  // Cuts or extends the file to length bytes.
  bool truncate(long length);
  // Flushes the file's data to the storage device.
  bool sync();
  // The open file's stamp (exists is false when the file is closed or
  // cannot be asked).
  FileStamp stamp() const;
  // Sets the file's modification time to modifiedNs (nanoseconds since the
  // epoch); its access time is left alone. False when refused.
  bool setModified(std::int64_t modifiedNs);
  // Makes the file's modification time later than afterNs (afterNs + 1 ns)
  // when it is not already. False when that was needed and refused (only
  // the file's owner may set a time).
  bool setModifiedAfter(std::int64_t afterNs);
  // Closes the file; false when the close reported an error.
  bool close();

  // Takes over an already open descriptor (used by createTempFile).
  void adopt(int fd);

 private:
  int fd_ = -1;
};

}  // namespace platform

#endif  // METDB_PLATFORM_FILE_H_
