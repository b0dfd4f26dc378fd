#ifndef METDB_DATAFILE_METDATABASELOCK_H_
#define METDB_DATAFILE_METDATABASELOCK_H_

#include "platform/Export.h"

class SharedLock;

// The lock that serialises the processes working on one database, for a
// host or tool that wants to hold it across several operations: a whole
// read-modify-write, say, so that no other process changes the database in
// between. The library takes the same lock for each of its own operations:
// shared while a database is opened and its directory loaded, exclusive for
// each append, rewrite, compaction, import and directory save. Holds of one
// process nest: while this process holds the lock exclusively, the
// library's own operations in it go ahead at once, and other processes
// wait.
//
// The lock lives in a file beside the data file, its name followed by
// ".lock" ("metdata.bmt.lock"), which is created when missing and never
// removed; a process that ends, however it ends, holds no lock any more.
class METDB_EXPORT MetDatabaseLock {
 public:
  // How the lock is held: shared by any number of readers, or by one
  // writer alone.
  enum Mode { kShared, kExclusive };

  // The lock of the database whose data file is dataFileName (relative to
  // the current directory). Holds nothing yet. When the lock file cannot
  // be opened or created, IsUsable() is false and every lock() fails.
  explicit MetDatabaseLock(const char* dataFileName);
  // Gives back what this object holds.
  ~MetDatabaseLock();
  MetDatabaseLock(const MetDatabaseLock&) = delete;
  MetDatabaseLock& operator=(const MetDatabaseLock&) = delete;

  // Whether the lock file could be opened.
  bool IsUsable();
  // Takes the lock in mode, waiting up to seconds (0: not at all) while
  // another process holds it in a conflicting mode. An object holds at
  // most one mode: a second lock() first gives back the first. False when
  // the time ran out or the lock file cannot be used (getMetLastError()
  // says which); nothing is held then.
  bool lock(Mode mode, double seconds);
  // Whether the last lock() failed because another process held the lock
  // (rather than for a fault, such as a lock file that can only be read).
  bool WasBusy();
  // Gives back the lock, if held.
  void unlock();
  // Whether this object holds the lock.
  bool IsLocked();

  // How long the library's own operations wait for the lock before they
  // fail (60 seconds unless set). For the whole process.
  static double getWaitSeconds();
  static void setWaitSeconds(double seconds);

 private:
  SharedLock* lock_;  // a counted reference to the process's lock of the file
  void* holder_;      // keeps lock_ alive
  int held_;          // -1 none, else the Mode held
  bool busy_;         // what WasBusy() tells
};

#endif  // METDB_DATAFILE_METDATABASELOCK_H_
