#ifndef METDB_PLATFORM_DURABLEREPLACEMENT_H_
#define METDB_PLATFORM_DURABLEREPLACEMENT_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Export.h"
#include "platform/File.h"

namespace platform {

// A new content for a file, written beside it and put in its place so that
// after a crash or a power cut the name holds either the complete old file
// or the complete new one: the new content goes to a temporary file "TQ_"
// and six random characters, created exclusively in the target's folder
// (O_EXCL|O_NOFOLLOW, so no other process can take or redirect the name);
// commit() syncs it, renames it over the target and syncs the folder. The
// new file takes the permission bits of the regular file it replaces, set
// on its own descriptor (or, with none there, those of a newly created
// file); a symbolic link at the target is replaced, never followed. In a
// folder that others may write, commit() renames only its own file: one
// moved away and replaced by another process (checked on the name against
// the open file just before the rename) fails the commit and leaves the
// target alone. Everything goes through
// Env::current(). Destroying an uncommitted replacement removes its
// temporary file. Failures leave the reason in lastFailure().
class METDB_EXPORT DurableReplacement {
 public:
  // target: the file to replace (relative names are taken in the current
  // directory at each call).
  explicit DurableReplacement(const std::string& target);
  ~DurableReplacement();
  DurableReplacement(const DurableReplacement&) = delete;
  DurableReplacement& operator=(const DurableReplacement&) = delete;

  // Creates the temporary file. False when it cannot be made.
  bool begin();
  // Appends n bytes to the temporary file. False when they could not all be
  // written; commit() then fails too.
  bool append(const void* data, std::size_t n);
  // Makes the temporary file's modification time later than afterNs.
  bool setModifiedAfter(std::int64_t afterNs);

  // Syncs the temporary file and renames it over the target, then syncs the
  // folder. False, with the target as it was and the temporary file
  // removed, when an earlier write failed, the sync failed (never retried:
  // the written data must be taken as lost) or the rename was refused; also
  // false when only the folder's sync failed, when the new file is in place
  // but may not survive a power cut (committed() tells which).
  bool commit();
  // Whether the new file has been renamed into place.
  bool committed() const { return committed_; }
  // Removes the temporary file, if not committed.
  void abandon();

  // The temporary file's name ("" before begin()).
  const std::string& temporaryName() const { return temp_; }
  const std::string& target() const { return target_; }

  // The temporary file, open for reading and writing, for the library's
  // writers that place their bytes themselves; after commit() the new file.
  File& file() { return file_; }

 private:
  std::string target_;
  std::string temp_;
  File file_;
  long written_ = 0;
  bool failed_ = false;
  bool committed_ = false;
};

}  // namespace platform

#endif  // METDB_PLATFORM_DURABLEREPLACEMENT_H_
