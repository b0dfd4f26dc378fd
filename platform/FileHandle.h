#ifndef METDB_PLATFORM_FILEHANDLE_H_
#define METDB_PLATFORM_FILEHANDLE_H_

#include <cstdint>

namespace platform {

// A file opened read-only, for asking its length and its time stamp. Closes
// the file when destroyed. Move-only.
class FileHandle {
 public:
  FileHandle() = default;
  // Opens name read-only; valid() tells whether that worked.
  explicit FileHandle(const char* name);
  ~FileHandle();
  FileHandle(FileHandle&& other) noexcept;
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool valid() const { return fd_ >= 0; }
  // Length in bytes, or -1 when invalid or not known.
  long length() const;
  // Last modification time packed as packDosTime() does, or 0 when invalid.
  std::uint32_t getftime() const;
  void close();

 private:
  int fd_ = -1;
};

}  // namespace platform

#endif  // METDB_PLATFORM_FILEHANDLE_H_
