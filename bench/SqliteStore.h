// The SQLite side of the comparison: the same records in one table, with
// an index in hierarchy order, used the way a careful user would: WAL
// journal, synchronous=NORMAL, a 64 MiB page cache, memory-mapped reads,
// one transaction per load and prepared statements throughout.
//
// The record index is the row id, so a point read is a row-id look-up and a
// database loaded from a grouped data file keeps its rows in hierarchy
// order, as the data file does. Any SQLite error ends the process with a
// message: a benchmark has no use for a half-done figure.
#ifndef METDB_BENCH_SQLITESTORE_H_
#define METDB_BENCH_SQLITESTORE_H_

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "datafile/LocationData.h"

namespace bench {

class SqliteStore {
 public:
  // The hierarchy order of a directory walk: names ignoring ASCII case (as
  // NOCASE folds), higher level first, then latitude, then longitude.
  static constexpr const char* kOrder =
      "continent COLLATE NOCASE, country COLLATE NOCASE, state COLLATE NOCASE, "
      "name COLLATE NOCASE, level DESC, latitude, longitude";
  static constexpr const char* kColumns =
      "id, name, state, country, continent, level, latitude, longitude, aux, a, b, c, d, e";

  // A prepared statement, finalised when destroyed.
  class Statement {
   public:
    Statement(sqlite3* db, const std::string& sql) : db_(db) {
      check(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr), db, sql.c_str());
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // True while a row is there; false when done.
    bool step() {
      int rc = sqlite3_step(stmt_);
      if (rc == SQLITE_ROW) return true;
      if (rc != SQLITE_DONE) check(rc, db_, sqlite3_sql(stmt_));
      return false;
    }
    void reset() {
      sqlite3_reset(stmt_);
      sqlite3_clear_bindings(stmt_);
    }
    sqlite3_stmt* get() { return stmt_; }

   private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
  };

  // Opens (creating when missing) the database at path with the settings
  // above.
  explicit SqliteStore(const std::string& path) {
    check(sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
          db_, path.c_str());
    exec("PRAGMA journal_mode=WAL");
    exec("PRAGMA synchronous=NORMAL");
    exec("PRAGMA cache_size=-65536");
    exec("PRAGMA mmap_size=1073741824");
    exec("PRAGMA temp_store=MEMORY");
  }
  ~SqliteStore() { sqlite3_close(db_); }
  SqliteStore(const SqliteStore&) = delete;
  SqliteStore& operator=(const SqliteStore&) = delete;

  sqlite3* db() { return db_; }

  void exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      std::fprintf(stderr, "sqlite: %s: %s\n", sql.c_str(), error ? error : "?");
      std::exit(2);
    }
  }

  // The table and its index, in schema (attached database prefix like
  // "src." or "").
  void createSchema() {
    exec(
        "CREATE TABLE IF NOT EXISTS loc(id INTEGER PRIMARY KEY, name TEXT, state TEXT, "
        "country TEXT, continent TEXT, level INTEGER, latitude REAL, longitude REAL, "
        "aux INTEGER, a BLOB, b BLOB, c BLOB, d BLOB, e BLOB)");
    exec(std::string("CREATE INDEX IF NOT EXISTS loc_order ON loc(") + kOrder + ")");
  }

  // The statement that inserts one record with the given row id (or a new
  // one when id < 0), for insert().
  Statement insertStatement() {
    return Statement(db_, std::string("INSERT INTO loc(") + kColumns +
                              ") VALUES(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14)");
  }

  static void insert(Statement& s, long id, const LocationData& r) {
    sqlite3_stmt* st = s.get();
    if (id >= 0) sqlite3_bind_int64(st, 1, id);
    bindText(st, 2, r.name, sizeof r.name);
    bindText(st, 3, r.state, sizeof r.state);
    bindText(st, 4, r.country, sizeof r.country);
    bindText(st, 5, r.continent, sizeof r.continent);
    sqlite3_bind_int(st, 6, r.level);
    sqlite3_bind_double(st, 7, r.latitude);
    sqlite3_bind_double(st, 8, r.longitude);
    sqlite3_bind_int(st, 9, r.auxValue);
    sqlite3_bind_blob(st, 10, r.seriesA, sizeof r.seriesA, SQLITE_STATIC);
    sqlite3_bind_blob(st, 11, r.seriesB, sizeof r.seriesB, SQLITE_STATIC);
    sqlite3_bind_blob(st, 12, r.seriesC, sizeof r.seriesC, SQLITE_STATIC);
    sqlite3_bind_blob(st, 13, r.seriesD, sizeof r.seriesD, SQLITE_STATIC);
    sqlite3_bind_blob(st, 14, r.seriesE, sizeof r.seriesE, SQLITE_STATIC);
    s.step();
    s.reset();
  }

  // Fills r from a row whose columns are kColumns, in that order; returns
  // the row id.
  static long readRow(Statement& s, LocationData& r) {
    sqlite3_stmt* st = s.get();
    std::memset(static_cast<void*>(&r), 0, sizeof r);
    copyText(st, 1, r.name, sizeof r.name);
    copyText(st, 2, r.state, sizeof r.state);
    copyText(st, 3, r.country, sizeof r.country);
    copyText(st, 4, r.continent, sizeof r.continent);
    r.level = static_cast<std::int8_t>(sqlite3_column_int(st, 5));
    r.latitude = static_cast<float>(sqlite3_column_double(st, 6));
    r.longitude = static_cast<float>(sqlite3_column_double(st, 7));
    r.auxValue = static_cast<std::int16_t>(sqlite3_column_int(st, 8));
    copyBlob(st, 9, r.seriesA, sizeof r.seriesA);
    copyBlob(st, 10, r.seriesB, sizeof r.seriesB);
    copyBlob(st, 11, r.seriesC, sizeof r.seriesC);
    copyBlob(st, 12, r.seriesD, sizeof r.seriesD);
    copyBlob(st, 13, r.seriesE, sizeof r.seriesE);
    return static_cast<long>(sqlite3_column_int64(st, 0));
  }

  static void check(int rc, sqlite3* db, const char* what) {
    if (rc == SQLITE_OK) return;
    std::fprintf(stderr, "sqlite: %s: %s\n", what ? what : "?", db ? sqlite3_errmsg(db) : "?");
    std::exit(2);
  }

 private:
  static void bindText(sqlite3_stmt* st, int column, const char* field, std::size_t size) {
    sqlite3_bind_text(st, column, field, static_cast<int>(strnlen(field, size)), SQLITE_STATIC);
  }
  static void copyText(sqlite3_stmt* st, int column, char* field, std::size_t size) {
    const unsigned char* text = sqlite3_column_text(st, column);
    int length = sqlite3_column_bytes(st, column);
    if (text == nullptr) return;
    std::size_t n =
        static_cast<std::size_t>(length) < size ? static_cast<std::size_t>(length) : size - 1;
    std::memcpy(field, text, n);
    field[n] = '\0';
  }
  static void copyBlob(sqlite3_stmt* st, int column, void* to, std::size_t size) {
    const void* blob = sqlite3_column_blob(st, column);
    std::size_t length = static_cast<std::size_t>(sqlite3_column_bytes(st, column));
    if (blob != nullptr) std::memcpy(to, blob, length < size ? length : size);
  }

  sqlite3* db_ = nullptr;
};

}  // namespace bench

#endif  // METDB_BENCH_SQLITESTORE_H_
