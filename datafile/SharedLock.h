#ifndef METDB_DATAFILE_SHAREDLOCK_H_
#define METDB_DATAFILE_SHAREDLOCK_H_

#include <memory>
#include <set>
#include <string>

#include "platform/LockFile.h"

// The locks of one database, kept in its lock file ("NAME.bmt.lock" beside
// the data file, never replaced or removed), shared by every database
// object and MetDatabaseLock of this process that names the same lock file.
//
// Slot 0 is the database lock: shared while a database is opened and
// loaded, exclusive for every change (append, rewrite, compaction, import,
// directory save). Holds nest within the process: once it holds the lock
// exclusively, further holds of either kind are granted at once.
//
// Slot 1 is held shared by every process that appended records it has not
// yet entered in a saved directory file. A compaction or an import, which
// rewrites the data file from its own directory and so would drop those
// records, asks for it exclusively, without waiting, and refuses when
// another holder has it.
//
// One thread at a time, like the rest of the library.
class SharedLock {
 public:
  enum Mode { kShared, kExclusive };

  // The shared lock of the lock file name (relative to the current
  // directory), opened or created, or null with platform::lastFailure() set
  // when it cannot be opened.
  static std::shared_ptr<SharedLock> open(const std::string& name);

  SharedLock(const SharedLock&) = delete;
  SharedLock& operator=(const SharedLock&) = delete;

  // Takes one more hold of the database lock in mode, waiting up to
  // seconds for other processes to let go. False, with
  // platform::lastFailure() set, when the time ran out or the system
  // refused; nothing is then held for this call. *busy (when given) tells
  // whether it failed because another process held the lock.
  bool acquire(Mode mode, double seconds, bool* busy = nullptr);
  // Gives back one hold taken in mode.
  void release(Mode mode);
  // Whether this process holds the database lock exclusively.
  bool heldExclusively() const { return exclusiveHolds_ > 0; }

  // Notes that owner holds records not yet in a saved directory file.
  void markUnsaved(const void* owner);
  // Notes that owner saved them (or dropped them).
  void clearUnsaved(const void* owner);
  // Whether anyone but owner, in this process or another, holds unsaved
  // records. Call with the database lock held exclusively.
  bool othersHoldUnsaved(const void* owner);

  // How long the library's own operations wait for the database lock.
  static double waitSeconds();
  static void setWaitSeconds(double seconds);

  ~SharedLock();

 private:
  SharedLock(platform::LockFile file, std::string name);
  bool setSlot(int slot, platform::LockFile::Kind kind, double seconds, bool* busy);

  platform::LockFile file_;
  std::string name_;
  int sharedHolds_ = 0;
  int exclusiveHolds_ = 0;
  std::set<const void*> unsaved_;
};

// Holds a shared lock's database lock in one mode for a scope. A null lock
// (a lock file that could not be opened) holds nothing and is ok().
class LockHold {
 public:
  LockHold(SharedLock* lock, SharedLock::Mode mode, double seconds);
  ~LockHold();
  LockHold(const LockHold&) = delete;
  LockHold& operator=(const LockHold&) = delete;

  bool ok() const { return ok_; }

 private:
  SharedLock* lock_;
  SharedLock::Mode mode_;
  bool ok_;
};

#endif  // METDB_DATAFILE_SHAREDLOCK_H_
