#ifndef METDB_PLATFORM_LOCKFILE_H_
#define METDB_PLATFORM_LOCKFILE_H_

#include <string>

#include "platform/FileStamp.h"

namespace platform {

// A file that exists only to be locked: several locks, one per byte
// ("slot") of the file, each shared or exclusive, held through this
// object's own open file description. Such locks (Linux's open file
// description locks) belong to the open file, not to the process, so they
// are neither dropped when some other descriptor of the same file is closed
// nor shared with other LockFile objects of the same process, and the
// system drops them when the process ends in any way. Move-only.
class LockFile {
 public:
  enum Kind { kUnlocked, kShared, kExclusive };

  LockFile() = default;
  ~LockFile();
  LockFile(LockFile&& other) noexcept;
  LockFile& operator=(LockFile&& other) noexcept;
  LockFile(const LockFile&) = delete;
  LockFile& operator=(const LockFile&) = delete;

  // Opens name for reading and writing without following a symbolic link
  // (one there is never opened). When missing, it is created (empty) by a
  // process that may write model, with model's read and write bits, asked
  // of model's own descriptor (with no model there, 0666 less the umask):
  // whoever may change the data is the one who may lock it. Such a process
  // also replaces, by a new file renamed over it, one that it may not open
  // or that is a link or no regular file (someone else's doing). Where
  // writing is refused (a read-only medium, a file or folder the user
  // cannot write) an existing file is opened for reading only, which still
  // takes shared locks. False, with lastFailure() set, when neither works
  // or name is not a regular file.
  bool open(const std::string& name, const std::string& model);
  // Opens the existing regular file name (links followed) to lock bytes of
  // it, for reading and writing, or for reading only where writing is
  // refused. False when there is none or it cannot be opened; notes no
  // failure.
  bool openExisting(const std::string& name);
  bool isOpen() const { return fd_ >= 0; }
  // Whether the file was opened for reading only (exclusive locks fail).
  bool readOnly() const { return readOnly_; }
  // The lock file's own stamp, which tells two names of one file apart.
  FileStamp stamp() const;
  // Whether name (followed only with followLinks) is still the file open
  // here: false once it was removed or replaced, when locks held here no
  // longer meet those of processes that open name now.
  bool isAt(const std::string& name, bool followLinks = false) const;

  // Sets the lock on byte slot to kind without waiting: a shared lock
  // becomes exclusive or the other way round in place. Returns true when
  // set; false when a lock held through another open file conflicts
  // (*busy is then true) or the system refused (*busy false, lastFailure()
  // set).
  bool set(int slot, Kind kind, bool* busy);
  // The strongest lock that other open files hold on byte slot against
  // kind (kUnlocked: none, or the system cannot tell).
  Kind heldByOthers(int slot, Kind kind) const;

  void close();

 private:
  int fd_ = -1;
  bool readOnly_ = false;
  FileStamp identity_;  // the open file's device and inode, which never change
};

// Waits for about milliseconds; for polling a lock.
void sleepMilliseconds(int milliseconds);
// Seconds on a clock that only moves forward, from an arbitrary start.
double monotonicSeconds();

}  // namespace platform

#endif  // METDB_PLATFORM_LOCKFILE_H_
