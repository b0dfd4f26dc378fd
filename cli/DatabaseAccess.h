#ifndef METDB_CLI_DATABASEACCESS_H_
#define METDB_CLI_DATABASEACCESS_H_

#include <cstdint>
#include <string>

#include "cli/ToolContext.h"
#include "datafile/BMTFile.h"

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
  // Reads only. The directory is marked unchanged after opening, so that
  // the library's save when the database is closed leaves a damaged or
  // out-of-date directory file as it stands (a missing one is still
  // written, as on any opening).
  kRead,
  // Changes it. Opening first makes the directory file describe the data
  // file (writing the directory when it was rebuilt), so that an edit that
  // fails half-way can be dropped with discardEdits() and leaves the two
  // files agreeing.
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

  // Opens the database for use. Reports one sentence and returns null when
  // the name is too long, the data file does not exist or is not a regular
  // file, the library finds it unusable, or (kWrite) the directory file
  // cannot be brought up to date. Never creates a data file.
  BMTFile* open(DatabaseUse use);

  // The open database, or null.
  BMTFile* db() const { return db_; }
  // How the directory file stood at opening.
  DirectoryFileState directoryState() const { return state_; }

  // Writes the directory to its file; reports and returns false on failure
  // (the next opening then rebuilds it from the data file, so no record is
  // lost).
  bool saveDirectory();

  // Forgets the directory's unsaved changes: when the database is closed
  // the directory file is left as it is on disk. For a command that fails
  // after it began to edit the directory in memory.
  void discardEdits();

  // Closes the database without saving its directory and opens it again
  // from its files, so that the directory is read from its file or, when the
  // file is missing, rebuilt from the records. Returns the new database, or
  // null (reported) when that fails.
  BMTFile* reopenWithoutSaving();

  // The data file's length in bytes (0 when it cannot be read).
  std::uintmax_t dataFileSize() const;
  // The number of whole records in the data file.
  long recordCount() const;

 private:
  ToolContext& context_;
  std::string dataFile_;
  BMTFile* db_ = nullptr;
  DirectoryFileState state_ = DirectoryFileState::kMissing;
};

#endif  // METDB_CLI_DATABASEACCESS_H_
