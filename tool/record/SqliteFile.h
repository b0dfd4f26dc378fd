#ifndef METDB_TOOL_RECORD_SQLITEFILE_H_
#define METDB_TOOL_RECORD_SQLITEFILE_H_

#include <sqlite3.h>

#include <string>

namespace metdb {

// One SQLite database (a GeoPackage) and the statements run on it, for the
// GeoPackage writer and reader. Every failure throws Error naming the file
// and SQLite's reason.
class SqliteFile {
 public:
  // Opens path for reading, or creates it (it must not exist) for writing.
  SqliteFile(const std::string& path, bool create);
  // Opens an in-memory copy of bytes (a whole database file read into
  // memory); name is the file's name in messages.
  SqliteFile(const std::string& name, const std::string& bytes);
  ~SqliteFile();
  SqliteFile(const SqliteFile&) = delete;
  SqliteFile& operator=(const SqliteFile&) = delete;

  // Runs sql, which may hold several statements and returns no rows.
  void run(const std::string& sql);

  // Throws Error("Cannot WHAT FILE: SQLITE'S REASON.") for the last failure.
  [[noreturn]] void fail(const std::string& what) const;

  sqlite3* handle() const { return db_; }
  const std::string& name() const { return name_; }

  // A prepared statement, finalised when it goes.
  class Statement {
   public:
    Statement(SqliteFile& file, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    // Steps once: true while a row is there, false when done; throws on
    // failure.
    bool step();
    // Makes the statement ready to bind and step again.
    void reset();
    sqlite3_stmt* get() const { return stmt_; }

   private:
    SqliteFile& file_;
    sqlite3_stmt* stmt_ = nullptr;
  };

 private:
  std::string name_;
  sqlite3* db_ = nullptr;
};

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_SQLITEFILE_H_
