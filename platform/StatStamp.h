#ifndef METDB_PLATFORM_STATSTAMP_H_
#define METDB_PLATFORM_STATSTAMP_H_

#include <sys/stat.h>

#include "platform/FileStamp.h"

namespace platform {

// The stamp that a stat result describes. Inside platform/ only.
inline FileStamp stampFromStat(const struct stat& st) {
  FileStamp stamp;
  stamp.exists = true;
  stamp.device = static_cast<std::uint64_t>(st.st_dev);
  stamp.inode = static_cast<std::uint64_t>(st.st_ino);
  stamp.size = static_cast<long long>(st.st_size);
  stamp.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return stamp;
}

}  // namespace platform

#endif  // METDB_PLATFORM_STATSTAMP_H_
