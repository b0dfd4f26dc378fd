#ifndef METDB_CLI_DATABASEACCESS_H_
#define METDB_CLI_DATABASEACCESS_H_

#include <cstdint>
#include <memory>
#include <string>

#include "cli/ToolContext.h"
#include "datafile/BMTFile.h"
#include "datafile/MetDatabaseLock.h"

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

// The tool's way to the database a command works on: the data file named by
// --db, or else the configured current database. It is opened as the
// library's current database (setMetDatabase or getMetDatabase), as a host
// would, so that selections and iterators resolve against it. The database
// stays owned by the library; this object only holds its pointer.
class DatabaseAccess {
 public:
  explicit DatabaseAccess(ToolContext& context);

  DatabaseAccess(const DatabaseAccess&) = delete;
  DatabaseAccess& operator=(const DatabaseAccess&) = delete;

  // The data file's name: --db as given, or the configured one
  // (getMetDataFileName, which creates no database).
  const std::string& dataFile() const { return dataFile_; }
  // Its directory file's name, as the library forms it.
  std::string directoryFile() const;

  // Checks that the data file name fits the library's 260 characters and
  // that its directory file is another file. Reports and returns false when
  // not; warns of a name without an extension (whose directory file is
  // "default.dir").
  bool checkName();

  // Opens the database for use. When another process holds the database
  // lock, says so on a terminal and waits up to the context's wait. Reports
  // one sentence and returns null when the name is too long, the data file
  // does not exist or is not a regular file, the lock cannot be had in
  // time, the library finds the file unusable (with the system's reason),
  // or (kWrite) the directory file cannot be brought up to date. Never
  // creates a data file.
  BMTFile* open(DatabaseUse use);

  // The open database, or null.
  BMTFile* db() const { return db_; }
  // How the directory file stood at opening.
  DirectoryFileState directoryState() const { return state_; }

  // Writes the directory to its file; reports and returns false on failure
  // (the next opening then rebuilds it from the data file, so no record is
  // lost).
  bool saveDirectory();

  // The library's reason for the last failure of its operations, as a
  // phrase ("" when it gave none).
  static std::string libraryReason();

  // Takes the database lock in mode for the rest of this object's life (a
  // second call replaces the first), waiting as open() describes; reports
  // and returns false when it cannot be had. open() takes it itself; a
  // command that replaces the database's files without opening it (create)
  // takes it here.
  bool lock(MetDatabaseLock::Mode mode);

  // Forgets the directory's unsaved changes: when the database is closed
  // the directory file is left as it is on disk. For a command that fails
  // after it began to edit the directory in memory.
  void discardEdits();

  // Closes the database without saving its directory, removes the
  // directory file and opens the database again, so that the directory is
  // rebuilt from the records in file order. For kWrite only (the lock is
  // held throughout). Returns the new database, or null (reported) when
  // that fails.
  BMTFile* reopenRebuilt();

  // The data file's length in bytes (0 when it cannot be read).
  std::uintmax_t dataFileSize() const;
  // The number of whole records in the data file.
  long recordCount() const;

 private:
  ToolContext& context_;
  std::string dataFile_;
  BMTFile* db_ = nullptr;
  DirectoryFileState state_ = DirectoryFileState::kMissing;
  std::unique_ptr<MetDatabaseLock> lock_;
};

#endif  // METDB_CLI_DATABASEACCESS_H_
