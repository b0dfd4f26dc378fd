#ifndef METDB_PYTHON_OPENDATABASE_H_
#define METDB_PYTHON_OPENDATABASE_H_

#include <memory>
#include <string>

#include "datafile/BMTFile.h"
#include "tool/database/Database.h"
#include "tool/search/SearchIndex.h"

namespace metdb {
namespace python {

// A database opened from Python (metdb.Database). Several may be open at
// once, each with its own lock; the one an operation works on is made the
// library's current database first (db()), for the selections it walks.
//
// Opened for writing, the database lock is held exclusively from opening
// until close(), so that every change made through this object is one step
// for other processes, as a tool command is (they wait meanwhile). Opened
// read-only, the lock is held only while opening; the records are then
// read from the data file the library holds open, which another process's
// replacement does not change.
class OpenDatabase {
 public:
  // Opens the database whose data file is path (never creating one),
  // waiting up to waitSeconds for another process that holds it. Throws
  // metdb::Error as Database::open does.
  OpenDatabase(const std::string& path, bool readonly, double waitSeconds);
  // Closes the database when still open.
  ~OpenDatabase();
  OpenDatabase(const OpenDatabase&) = delete;
  OpenDatabase& operator=(const OpenDatabase&) = delete;

  // Closes the database: the library's database object goes (a database
  // opened for writing saves its directory first when it must), then the
  // lock. Further use raises metdb.ClosedError. Safe to call twice.
  void close();
  bool closed() const { return access_ == nullptr; }

  const std::string& path() const { return path_; }
  bool readonly() const { return readonly_; }

  // The open database, made the library's current one (the selections an
  // operation walks resolve against it); throws BindingError(kClosed) when
  // closed.
  BMTFile* db() const;
  Database& access() const;
  // Throws BindingError(kReadOnly) when opened read-only (or kClosed).
  void requireWritable() const;

  // find's index over the open database's names, for a query that repeats
  // an earlier one's work: null on the first find after opening or after a
  // change (plain search costs less than building the index then), built on
  // the second and kept until the next change. Every edit calls
  // requireWritable first, which drops it, so that it never outlives the
  // directory entries it points to.
  const SearchIndex* searchIndex();

  // Counts changes, so that an iteration begun before a change can tell
  // that its record indices no longer hold.
  long generation() const { return generation_; }
  void noteChange() {
    ++generation_;
    dropSearchIndex();
  }

 private:
  std::string path_;
  bool readonly_;
  std::unique_ptr<Database> access_;
  long generation_ = 0;
  void dropSearchIndex() const;
  mutable std::unique_ptr<SearchIndex> searchIndex_;
  mutable bool searched_ = false;  // a find ran since the last change
};

}  // namespace python
}  // namespace metdb

#endif  // METDB_PYTHON_OPENDATABASE_H_
