#ifndef METDB_TOOL_DATABASE_DATABASE_H_
#define METDB_TOOL_DATABASE_DATABASE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "datafile/BMTFile.h"
#include "datafile/MetDatabaseLock.h"

namespace metdb {

// Lends db, which a Database of this process holds open, to the library as
// its current database (lendMetDatabase), for a walk of a selection, which
// resolves against the current database. Every lending of the tool goes
// through here, so that a Database that closes knows whether the library
// still holds its database.
void lendToLibrary(BMTFile* db);

// Whether the names a and b reach one existing file (links followed).
bool sameExistingFile(const std::string& a, const std::string& b);

// What the directory file was like when the database was opened.
enum class DirectoryFileState {
  kMissing,    // no file: the directory was rebuilt from the records
  kEmpty,      // a file of no bytes: rebuilt likewise
  kFresh,      // read from the file
  kOutOfDate,  // older than the data file: rebuilt from the records
  kDamaged,    // unreadable: rebuilt from the records
};

// "missing", "empty", "fresh", "out of date", "damaged".
const char* describe(DirectoryFileState state);

// How a command means to use the database.
enum class DatabaseUse {
  // Reads only: the database is opened read-only, so nothing is written (a
  // missing, damaged or out-of-date directory file is rebuilt in memory
  // only). The database lock is held shared while it opens; afterwards the
  // command reads the data file the library holds open, which another
  // process's replacement does not change.
  kRead,
  // Changes it. The database lock is held exclusively from before the
  // opening until the command ends, so that its whole read-modify-write is
  // one step for every other process. Opening first makes the directory
  // file describe the data file (writing the directory when it was
  // rebuilt), so that an edit that fails half-way can be dropped with
  // discardEdits() and leaves the two files agreeing.
  kWrite,
};

// The way to the database that an operation of the tool works on: the
// data file named, or else the configured current database. The database
// opened is this object's own, so that a process may hold several at once,
// each with its own lock; it is lent to the library as its current
// database (lendMetDatabase) when opened and by makeCurrent(), so that
// selections and iterators resolve against it, as a host's would. This
// object holds the database lock while its use needs it, and closes the
// database (saving its directory when needed) before it lets the lock go.
// A data file open for writing in this process is not opened again here
// (its lock would be waited for in vain). Failures throw Error.
class Database {
 public:
  // dataFile: the data file's name, or "" for the configured one
  // (getMetDataFileName, which creates no database). waitSeconds: how long
  // to wait for another process that holds the database; the library's own
  // operations in this process wait as long (MetDatabaseLock::setWaitSeconds).
  Database(const std::string& dataFile, double waitSeconds);

  // Closes the database, if open, then releases the lock.
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Called with a sentence when the database must wait for another process
  // (once, before waiting), and with each warning.
  void onWaiting(std::function<void(const std::string&)> tell) { waiting_ = std::move(tell); }
  void onWarning(std::function<void(const std::string&)> tell) { warning_ = std::move(tell); }
  // Called right after a change of the database is committed (renamed into
  // place): from then on the database holds it, whatever follows.
  void onChanged(std::function<void()> tell) { changed_ = std::move(tell); }
  // Tells the onChanged listener.
  void noteChanged() {
    if (changed_) changed_();
  }

  // How long the database waits for another process, in seconds.
  double waitSeconds() const { return waitSeconds_; }

  // The data file's name: as given, or the configured one.
  const std::string& dataFile() const { return dataFile_; }
  // Its directory file's name, as the library forms it.
  std::string directoryFile() const;

  // Checks that the data file name fits the library's 260 characters and
  // that its directory file is another file; throws when not. Warns of a
  // name without an extension (whose directory file is "default.dir").
  void checkName();

  // Opens the database for use. When another process holds the database
  // lock, tells onWaiting and waits up to the wait given. Throws when the
  // name is too long, the data file does not exist or is not a regular
  // file, the lock cannot be had in time, the library finds the file
  // unusable (with the system's reason), or (kWrite) the directory file
  // cannot be brought up to date, or another Database of this process
  // holds it open for writing (kBusy). Never creates a data file. Never
  // null.
  BMTFile* open(DatabaseUse use);

  // The open database, or null. Owned by this object: valid until it is
  // destroyed or reopenRebuilt() replaces it.
  BMTFile* db() const { return db_; }
  // Makes the open database the library's current one (lendMetDatabase),
  // for an operation that walks a selection; the last opened is current
  // until then. Does nothing when none is open.
  void makeCurrent();
  // How the directory file stood at opening.
  DirectoryFileState directoryState() const { return state_; }

  // Writes the directory to its file; throws on failure (the next opening
  // then rebuilds it from the data file, so no record is lost).
  void saveDirectory();

  // The library's reason for the last failure of its operations, as a
  // phrase ("" when it gave none).
  static std::string libraryReason();
  // The same, or "the new file did not come out as written" when it gave
  // none: for a write whose result was found wrong afterwards.
  static std::string libraryReasonOrUnknown();

  // Takes the database lock in mode for the rest of this object's life (a
  // second call replaces the first), waiting as open() describes; throws
  // when it cannot be had. For kExclusive, first refuses or warns of a
  // folder where others could replace the database's files
  // (checkFolderSharing). open() takes it itself; an operation that
  // replaces the database's files without opening it (create) takes it
  // here.
  void lock(MetDatabaseLock::Mode mode);

  // Forgets the directory's unsaved changes: when the database is closed
  // the directory file is left as it is on disk. For an operation that
  // fails after it began to edit the directory in memory.
  void discardEdits();

  // Closes the database without saving its directory, removes the
  // directory file and opens the database again, so that the directory is
  // rebuilt from the records in file order. For kWrite only (the lock is
  // held throughout). Returns the new database (the old pointer is gone);
  // throws when that fails.
  BMTFile* reopenRebuilt();

  // The data file's length in bytes (0 when it cannot be read): of the file
  // the open database holds, else of the file the name gives.
  std::uintmax_t dataFileSize() const;
  // The number of whole records in the data file.
  long recordCount() const;

 private:
  std::string dataFile_;
  double waitSeconds_;
  std::function<void(const std::string&)> waiting_;
  std::function<void(const std::string&)> warning_;
  std::function<void()> changed_;
  // Closes the open database (forgotten by the library first when lent).
  void close();

  std::unique_ptr<BMTFile> own_;
  BMTFile* db_ = nullptr;  // own_ once opened validly
  DirectoryFileState state_ = DirectoryFileState::kMissing;
  std::unique_ptr<MetDatabaseLock> lock_;
};

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_DATABASE_H_
