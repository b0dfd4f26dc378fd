#include "tool/record/SqliteFile.h"

#include <cstring>

#include "tool/Error.h"

namespace metdb {

SqliteFile::SqliteFile(const std::string& path, bool create) : name_(path) {
  int flags = create ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
  if (sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    fail(create ? "create" : "open");
  }
}

SqliteFile::SqliteFile(const std::string& name, const std::string& bytes) : name_(name) {
  if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
      SQLITE_OK) {
    fail("read");
  }
  // SQLite frees the copy with the connection.
  auto size = static_cast<sqlite3_int64>(bytes.size());
  auto* copy = static_cast<unsigned char*>(sqlite3_malloc64(static_cast<sqlite3_uint64>(size)));
  if (copy == nullptr)
    throw Error("Cannot read " + name + ": out of memory.", Error::Cause::kSystem);
  std::memcpy(copy, bytes.data(), bytes.size());
  if (sqlite3_deserialize(db_, "main", copy, size, size,
                          SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY) !=
      SQLITE_OK) {
    fail("read");
  }
}

SqliteFile::~SqliteFile() { sqlite3_close(db_); }

void SqliteFile::run(const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::string why = message != nullptr ? message : "unknown error";
    sqlite3_free(message);
    throw Error("Cannot write " + name_ + ": " + why + ".", Error::Cause::kSystem);
  }
}

void SqliteFile::fail(const std::string& what) const {
  std::string why = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
  throw Error("Cannot " + what + " " + name_ + ": " + why + ".", Error::Cause::kSystem);
}

SqliteFile::Statement::Statement(SqliteFile& file, const std::string& sql) : file_(file) {
  if (sqlite3_prepare_v2(file.db_, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
    file.fail("use");
  }
}

SqliteFile::Statement::~Statement() { sqlite3_finalize(stmt_); }

bool SqliteFile::Statement::step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  file_.fail("use");
}

void SqliteFile::Statement::reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

}  // namespace metdb
