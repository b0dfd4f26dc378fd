#ifndef METDB_PLATFORM_FILESTAMP_H_
#define METDB_PLATFORM_FILESTAMP_H_

#include <cstdint>
#include <string>

namespace platform {

// What a file is and when it last changed, as the file system tells it: the
// identity of the file (device and inode, so that a file renamed over the
// name is told from the one that stood there), its length and its last
// modification time to the nanosecond.
struct FileStamp {
  bool exists = false;          // whether there is such a file
  std::uint64_t device = 0;     // the file system's device
  std::uint64_t inode = 0;      // the file within it
  long long size = 0;           // length in bytes
  std::int64_t modifiedNs = 0;  // last modification, nanoseconds since the epoch

  // The same file (device and inode), however it changed since.
  bool sameFile(const FileStamp& other) const {
    return exists == other.exists && device == other.device && inode == other.inode;
  }
  // The same file, unchanged in length and time.
  bool operator==(const FileStamp& other) const {
    return sameFile(other) && size == other.size && modifiedNs == other.modifiedNs;
  }
  // Another file, or the same one changed.
  bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

// The stamp of the file name refers to (links followed); exists is false
// when there is none or it cannot be reached.
FileStamp stampOf(const std::string& name);

}  // namespace platform

#endif  // METDB_PLATFORM_FILESTAMP_H_
