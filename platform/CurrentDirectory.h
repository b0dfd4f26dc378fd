#ifndef METDB_PLATFORM_CURRENTDIRECTORY_H_
#define METDB_PLATFORM_CURRENTDIRECTORY_H_

#include <cstddef>
#include <string>

namespace platform {

// Drives do not exist here: getdisk() is always 0 and setdisk() does nothing.
// Neither fails nor throws.
int getdisk();
void setdisk(int drive);

// Copies the process's current directory into buf (size bytes, terminator
// included). Returns false, with buf[0] set to NUL when size > 0, when the
// directory cannot be read or does not fit.
bool getcwd(char* buf, std::size_t size);

// The process's current directory of any length; "" when it cannot be read
// (for instance when it has been removed).
std::string currentDirectory();

// Makes path the current directory. Returns false when that fails.
bool chdir(const char* path);

// An open handle of a directory, so that a process can go back to a folder
// whose path is too long for a buffer or has been renamed meanwhile.
// Move-only; closes its handle when destroyed.
class DirectoryHandle {
 public:
  // A handle of no directory: not valid().
  DirectoryHandle() = default;
  // Closes the handle, if any.
  ~DirectoryHandle();
  // Takes over other's handle, leaving other not valid().
  DirectoryHandle(DirectoryHandle&& other) noexcept;
  // Closes this object's handle, then takes over other's as above.
  DirectoryHandle& operator=(DirectoryHandle&& other) noexcept;
  DirectoryHandle(const DirectoryHandle&) = delete;
  DirectoryHandle& operator=(const DirectoryHandle&) = delete;

  // A handle of the current directory; not valid() when it cannot be opened.
  static DirectoryHandle openCurrent();
  // Whether the object holds an open handle.
  bool valid() const { return fd_ >= 0; }
  // Makes the handle's directory current again. False when invalid or failed.
  bool makeCurrent() const;

 private:
  int fd_ = -1;
};

}  // namespace platform

#endif  // METDB_PLATFORM_CURRENTDIRECTORY_H_
