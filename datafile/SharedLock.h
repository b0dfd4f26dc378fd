#ifndef METDB_DATAFILE_SHAREDLOCK_H_
#define METDB_DATAFILE_SHAREDLOCK_H_

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "platform/LockFile.h"

// The locks of one database, kept in its lock file ("NAME.bmt.lock" beside
// the data file, never removed by the library, and replaced only when a
// writer of the data file cannot use it: see platform::LockFile::open),
// shared by every database object and MetDatabaseLock of this process that
// names the same lock file.
//
// Someone may still remove or replace the file (a person clearing "stale"
// lock files), and a lock held on the old file then no longer keeps out
// processes that lock the new one. So a first hold checks, once granted,
// that the name still leads to the file locked, and so does every change
// (confirm()) before it writes, unless an earlier change of the same
// exclusive hold (exclusiveHold()) did; when it does not, the file now at the name
// is opened and locked in the same way, and the old one let go.
//
// Moreover every hold is also taken on the data file itself (a "guard": a
// byte lock far beyond the records, through a descriptor of its own), which
// no one removes or replaces but the library's own compaction, import and
// creation, under the lock. Writers of one data file so exclude each other
// even when the lock file was replaced while one of them held it; a data
// file replaced by a compaction is followed as a replaced lock file is.
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
class SharedLock : public std::enable_shared_from_this<SharedLock> {
 public:
  enum Mode { kShared, kExclusive };

  // The shared lock of the database whose data file is dataFileName
  // (relative to the current directory): its lock file dataFileName +
  // ".lock", opened or created (see platform::LockFile::open), or null with
  // platform::lastFailure() set when it cannot be opened.
  static std::shared_ptr<SharedLock> open(const std::string& dataFileName);

  SharedLock(const SharedLock&) = delete;
  SharedLock& operator=(const SharedLock&) = delete;

  // Takes one more hold of the database lock in mode, waiting up to
  // seconds for other processes to let go. False, with
  // platform::lastFailure() set, when the time ran out or the system
  // refused; nothing is then held for this call. *busy (when given) tells
  // whether it failed because another process held the lock.
  bool acquire(Mode mode, double seconds, bool* busy = nullptr);
  // Called while held exclusively, before a change is written: makes sure
  // the lock held is on the file now at the lock file's name (see above),
  // waiting up to seconds for the new file's lock. False, with
  // platform::lastFailure() set, when it cannot be; the exclusive hold on
  // the old file is then kept, and nothing should be written.
  bool confirm(double seconds);
  // Gives back one hold taken in mode.
  void release(Mode mode);
  // Whether this process holds the database lock exclusively.
  bool heldExclusively() const { return exclusiveHolds_ > 0; }
  // Names this process's present exclusive hold, from its outermost
  // acquire to its last release: 0 when the lock is not held exclusively,
  // else a number that no earlier hold had. Following a replaced file (see
  // confirm) counts as a new hold. What a writer learnt of the files under
  // one hold stays true while the hold lasts, since no other process can
  // write then; see acquisitions() for this process's own writers.
  std::uint64_t exclusiveHold() const { return exclusiveHolds_ > 0 ? holdSerial_ : 0; }
  // How many holds of either mode this process asked for so far. Every
  // change through the library takes a hold, so a writer that finds it one
  // past what it noted after its own last change knows that only its own
  // next hold came in between.
  std::uint64_t acquisitions() const { return acquisitions_; }

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
  SharedLock(platform::LockFile file, std::string name, std::string dataFileName);
  bool setSlot(platform::LockFile& file, int slot, platform::LockFile::Kind kind, double seconds,
               bool* busy);
  // Moves the locks held (kind on the database slot, and the unsaved slot)
  // to the file at name_ until the name leads to the file locked.
  bool followName(platform::LockFile::Kind kind, double seconds, bool* busy);
  // Takes the guard in kind on the data file now at its name, following a
  // replaced one; nothing is held on a missing data file.
  bool followGuard(platform::LockFile::Kind kind, double seconds, bool* busy);
  using Key = std::pair<std::uint64_t, std::uint64_t>;
  // Files this lock under *key in the process's table by stamp's identity.
  void rekey(Key* key, const platform::FileStamp& stamp);

  platform::LockFile file_;
  std::string name_;
  std::string dataFileName_;
  platform::LockFile guard_;  // the data file, for the guard's slots
  bool guardHeld_ = false;    // the guard's database slot is held (as slot 0 is)
  Key lockKey_{}, guardKey_{};
  int sharedHolds_ = 0;
  int exclusiveHolds_ = 0;
  std::uint64_t holdSerial_ = 0;
  std::uint64_t acquisitions_ = 0;
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
