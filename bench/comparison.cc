// metdb against SQLite and against the physical floor, job by job, on the
// same synthetic databases in one run (see docs/performance.md for what
// each job means and the latest figures).
//
// Usage: bench_comparison [--quick] [--sizes N,N,...] [--repeat R] [--jobs TEXT] [--cpu]
//                         [--no-sqlite]
// (--jobs: only the jobs whose name holds TEXT; --cpu: CPU time instead of
// wall time; --no-sqlite: metdb and the floor only)
//   default sizes 10^4, 10^5, 10^6; --quick: 10^4 and 10^5. Each figure is
//   the best of R runs (default 3; a run over two seconds is not repeated).
// Prints a Markdown table: job, size, metdb, SQLite and floor time in ms,
// the two ratios, and the peak resident memory of the metdb and SQLite runs;
// then the 10^6/10^5 (or largest/next) ratio of every metdb job. Each
// run is a fresh child process, on files in the page cache
// (each is written or read just before). Files go to a folder under TMPDIR
// that is removed at the end. Exits 3 when a job gave a wrong result.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/IsolatedRun.h"
#include "bench/PhysicalFloor.h"
#include "bench/QuietInfo.h"
#include "bench/SqliteStore.h"
#include "bench/SyntheticData.h"
#include "datafile/BMTFile.h"
#include "datafile/InfoDevice.h"
#include "datafile/MetDatabaseLock.h"
#include "module/CurrentDatabase.h"
#include "platform/File.h"
#include "selection/TLocationIterator.h"
#include "selection/TLocationSelection.h"

namespace {

using bench::IsolatedRun;
using bench::PhysicalFloor;
using bench::SqliteStore;
using Stopwatch = IsolatedRun::Stopwatch;
namespace fs = std::filesystem;

constexpr long kPointReads = 10000;
constexpr long kAppends = 10000;
// The selection's box: half the latitudes and a fifth of the longitudes,
// about a tenth of locations spread evenly over the globe.
constexpr float kBoxLatitude = 45;
constexpr float kBoxLongitude = 36;

// A job that went wrong ends its child with this status, which the table
// shows as "wrong".
[[noreturn]] void wrong(const char* what) {
  std::fprintf(stderr, "wrong result: %s\n", what);
  std::fflush(stderr);
  _exit(3);
}

// The files of one size: the grouped data file m.bmt with its directory
// file, a second database h.bmt sharing half its records, the same two in
// SQLite, and w.* as the scratch copy a job changes.
struct Databases {
  long n;
  std::string dir;
  std::string path(const char* name) const { return dir + "/" + name; }
};

// Copies are written out before the timing starts: otherwise the first
// sync of the timed part (the journal commit of an atomic replacement)
// would also wait for the copy's data to reach the disk.
void copyFile(const std::string& from, const std::string& to) {
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  ::sync();
}

// A copy of a metdb database whose directory file stays up to date (the
// directory is copied second, so its time stamp is not older).
void copyDatabase(const Databases& d, const char* from, const char* to) {
  std::string f(from), t(to);
  copyFile(d.path((f + ".bmt").c_str()), d.path((t + ".bmt").c_str()));
  copyFile(d.path((f + ".dir").c_str()), d.path((t + ".dir").c_str()));
}

void removeScratch(const Databases& d) {
  for (const char* name : {"w.bmt", "w.dir", "w.db", "w.db-wal", "w.db-shm"}) {
    std::remove(d.path(name).c_str());
  }
}

std::vector<long> randomIndices(long n) {
  std::mt19937 rng(99);
  std::vector<long> out(static_cast<std::size_t>(kPointReads));
  for (long& i : out) i = static_cast<long>(rng() % static_cast<unsigned long>(n));
  return out;
}

std::vector<LocationData> newRecords() {
  bench::SyntheticHierarchy::State s{"Zanzibarland", "Zetland", "Zuid", kAppends, 4242};
  return bench::stateRecords(s);
}

// The records of the box, counted by a plain scan: what both selections
// must give.
long countInBox(const std::string& data) {
  std::vector<char> all(static_cast<std::size_t>(fs::file_size(data)));
  platform::File f;
  f.open(data, platform::File::kReadOnly);
  f.readAt(0, all.data(), all.size());
  long count = 0;
  for (std::size_t at = 0; at + kLocationDataSize <= all.size(); at += kLocationDataSize) {
    LocationData r;
    std::memcpy(&r, all.data() + at, sizeof r);
    if (r.level <= 5 && r.latitude >= -kBoxLatitude && r.latitude <= kBoxLatitude &&
        r.longitude >= -kBoxLongitude && r.longitude <= kBoxLongitude) {
      ++count;
    }
  }
  return count;
}

// ---- metdb ----

long walk(BMTFile& db) {
  Directory* d = db.directory;
  LocationData r;
  long steps = 0;
  d->first();
  do {
    db.getLocationData(d->getLocationIndex(), r);
    ++steps;
  } while (d->next());
  return steps;
}

long pointRead(BMTFile& db, const std::vector<long>& indices) {
  LocationData r;
  long sum = 0;
  for (long i : indices) {
    db.getLocationData(i, r);
    sum += r.level;
  }
  return sum;
}

void metdbRebuild(const Databases& d, Stopwatch& w) {
  copyFile(d.path("m.bmt"), d.path("w.bmt"));
  w.start();
  BMTFile* db = new BMTFile(d.path("w.bmt").c_str());
  w.stop();
  if (db->directory->locationCount != d.n) wrong("rebuild");
  removeScratch(d);
}

void metdbOpen(const Databases& d, Stopwatch& w) {
  w.start();
  BMTFile* db = new BMTFile(d.path("m.bmt").c_str());
  w.stop();
  if (db->directory->locationCount != d.n || db->directory->changed) wrong("open");
}

// The save a host asks for (and the destructor makes): under the
// database's exclusive lock, after the checks that the data file was not
// replaced and that no other process saved the directory file meanwhile.
void metdbSave(const Databases& d, Stopwatch& w) {
  copyFile(d.path("m.bmt"), d.path("w.bmt"));
  BMTFile* db = new BMTFile(d.path("w.bmt").c_str());
  w.start();
  bool ok = db->storeDirectory();
  w.stop();
  if (!ok || fs::file_size(d.path("w.dir")) != fs::file_size(d.path("m.dir"))) wrong("save");
  removeScratch(d);
}

// readAhead: inside a BulkRead, as compaction, import and the tool's check
// read the records.
void metdbWalk(const Databases& d, Stopwatch& w, bool readAhead) {
  BMTFile* db = new BMTFile(d.path("m.bmt").c_str());
  w.start();
  long steps;
  if (readAhead) {
    BMTFile::BulkRead bulk(*db);
    steps = walk(*db);
  } else {
    steps = walk(*db);
  }
  w.stop();
  if (steps != d.n) wrong("walk");
}

void metdbSelection(const Databases& d, Stopwatch& w) {
  long expected = countInBox(d.path("m.bmt"));
  if (chdir(d.dir.c_str()) != 0) wrong("chdir");  // the iterator's index file goes here
  BMTFile* db = setMetDatabase(d.path("m.bmt").c_str());
  TLocationSelection s;
  TLocList** link = &s.continentList;
  for (unsigned i = 0; i < db->directory->continents->count(); ++i) {
    *link = new TLocList((*db->directory->continents)[i]->c_str(), true);
    link = &(*link)->nextEntry;
  }
  s.useLatLonLimits = true;
  s.minLatitude = -kBoxLatitude;
  s.maxLatitude = kBoxLatitude;
  s.minLongitude = -kBoxLongitude;
  s.maxLongitude = kBoxLongitude;
  w.start();
  long steps = 0;
  {
    TLocationIterator it(&s);
    if (!it.isEmpty()) {
      do {
        ++steps;
      } while (it.next());
    }
  }
  w.stop();
  if (steps != expected) wrong("selection");
}

void metdbPointReads(const Databases& d, Stopwatch& w) {
  std::vector<long> indices = randomIndices(d.n);
  BMTFile* db = new BMTFile(d.path("m.bmt").c_str());
  long expected = PhysicalFloor::pointReads(d.path("m.bmt"), indices);
  w.start();
  long sum = pointRead(*db, indices);
  w.stop();
  if (sum != expected) wrong("point reads");
}

// With held, as a host that appends a batch holds the database lock
// exclusively across it: each record is still in the file, for other
// processes to read once the lock is given back, when its call returns.
void metdbAppends(const Databases& d, Stopwatch& w, bool held) {
  std::vector<LocationData> records = newRecords();
  copyDatabase(d, "m", "w");
  BMTFile* db = new BMTFile(d.path("w.bmt").c_str());
  MetDatabaseLock lock(d.path("w.bmt").c_str());
  long last = -1;
  w.start();
  if (held && !lock.lock(MetDatabaseLock::kExclusive, 0)) wrong("the lock for appends");
  for (LocationData& r : records) last = db->addLocationData(r);
  lock.unlock();
  w.stop();
  if (last != d.n + kAppends - 1) wrong("appends");
  removeScratch(d);
}

void metdbCompaction(const Databases& d, Stopwatch& w) {
  copyDatabase(d, "m", "w");
  BMTFile* db = new BMTFile(d.path("w.bmt").c_str());
  Directory* dir = db->directory;
  // Every tenth location of the location list.
  long step = 0;
  dir->deleteLocations([&](const Location&) { return step++ % 10 == 0; });
  long kept = dir->locationCount;
  w.start();
  db->remakeDatabase();
  w.stop();
  if (static_cast<long>(fs::file_size(d.path("w.bmt"))) != kept * kLocationDataSize) {
    wrong("compaction");
  }
  removeScratch(d);
}

void metdbImport(const Databases& d, Stopwatch& w, bool halfEqual) {
  if (halfEqual) copyDatabase(d, "h", "w");
  BMTFile* target = new BMTFile(d.path("w.bmt").c_str());
  BMTFile* source = new BMTFile(d.path("m.bmt").c_str());
  QuietInfo info;
  w.start();
  target->merge(*source, false, info);
  w.stop();
  long count = target->directory->locationCount;
  if (halfEqual ? (count <= d.n || count >= 2 * d.n) : count != d.n) wrong("import");
  removeScratch(d);
}

// ---- SQLite ----

std::string selectAll(const std::string& where) {
  return std::string("SELECT ") + SqliteStore::kColumns + " FROM loc " + where + " ORDER BY " +
         SqliteStore::kOrder;
}

void sqliteRebuild(const Databases& d, Stopwatch& w) {
  copyFile(d.path("s.db"), d.path("w.db"));
  w.start();
  {
    SqliteStore db(d.path("w.db"));
    db.exec("REINDEX loc_order");
  }
  w.stop();
  removeScratch(d);
}

// Opening, and reading the hierarchy index into memory: what a host has
// after metdb's open, a listing it can walk with every record's index.
void sqliteOpen(const Databases& d, Stopwatch& w) {
  struct Entry {
    std::string name;
    float latitude, longitude;
    int level;
    long id;
    std::size_t group;
  };
  struct Group {
    std::string continent, country, state;
  };
  w.start();
  SqliteStore db(d.path("s.db"));
  std::vector<Entry> entries;
  std::vector<Group> groups;
  SqliteStore::Statement s(db.db(),
                           std::string("SELECT continent, country, state, name, level, latitude, "
                                       "longitude, id FROM loc ORDER BY ") +
                               SqliteStore::kOrder);
  auto text = [&](int column) {
    return reinterpret_cast<const char*>(sqlite3_column_text(s.get(), column));
  };
  while (s.step()) {
    if (groups.empty() || groups.back().state != text(2) || groups.back().country != text(1) ||
        groups.back().continent != text(0)) {
      groups.push_back(Group{text(0), text(1), text(2)});
    }
    entries.push_back(
        Entry{text(3), static_cast<float>(sqlite3_column_double(s.get(), 5)),
              static_cast<float>(sqlite3_column_double(s.get(), 6)), sqlite3_column_int(s.get(), 4),
              static_cast<long>(sqlite3_column_int64(s.get(), 7)), groups.size() - 1});
  }
  w.stop();
  if (static_cast<long>(entries.size()) != d.n) wrong("sqlite open");
}

void sqliteWalk(const Databases& d, Stopwatch& w, const std::string& where, long expected) {
  SqliteStore db(d.path("s.db"));
  w.start();
  SqliteStore::Statement s(db.db(), selectAll(where));
  LocationData r;
  long rows = 0;
  while (s.step()) {
    SqliteStore::readRow(s, r);
    ++rows;
  }
  w.stop();
  if (rows != expected) wrong("sqlite walk");
}

void sqlitePointReads(const Databases& d, Stopwatch& w) {
  std::vector<long> indices = randomIndices(d.n);
  long expected = PhysicalFloor::pointReads(d.path("m.bmt"), indices);
  SqliteStore db(d.path("s.db"));
  w.start();
  SqliteStore::Statement s(
      db.db(), std::string("SELECT ") + SqliteStore::kColumns + " FROM loc WHERE id = ?1");
  LocationData r;
  long sum = 0;
  for (long i : indices) {
    sqlite3_bind_int64(s.get(), 1, i);
    if (s.step()) {
      SqliteStore::readRow(s, r);
      sum += r.level;
    }
    s.reset();
  }
  w.stop();
  if (sum != expected) wrong("sqlite point reads");
}

void floorAppends(const Databases& d, Stopwatch& w) {
  std::vector<LocationData> records = newRecords();
  copyFile(d.path("m.bmt"), d.path("w.bmt"));
  w.start();
  PhysicalFloor::append(d.path("w.bmt"), records);
  w.stop();
  removeScratch(d);
}

void sqliteAppends(const Databases& d, Stopwatch& w) {
  std::vector<LocationData> records = newRecords();
  copyFile(d.path("s.db"), d.path("w.db"));
  SqliteStore db(d.path("w.db"));
  w.start();
  db.exec("BEGIN");
  {
    SqliteStore::Statement insert = db.insertStatement();
    for (const LocationData& r : records) SqliteStore::insert(insert, -1, r);
  }
  db.exec("COMMIT");
  w.stop();
  removeScratch(d);
}

void sqliteCompaction(const Databases& d, Stopwatch& w) {
  copyFile(d.path("s.db"), d.path("w.db"));
  {
    SqliteStore db(d.path("w.db"));
    db.exec("DELETE FROM loc WHERE id % 10 = 0");
  }
  w.start();
  {
    SqliteStore db(d.path("w.db"));
    db.exec("VACUUM");
  }
  w.stop();
  removeScratch(d);
}

void sqliteImport(const Databases& d, Stopwatch& w, bool halfEqual) {
  if (halfEqual) {
    copyFile(d.path("h.db"), d.path("w.db"));
  } else {
    SqliteStore db(d.path("w.db"));
    db.createSchema();
  }
  std::string columns =
      "name, state, country, continent, level, latitude, longitude, aux, a, b, "
      "c, d, e";
  w.start();
  {
    SqliteStore db(d.path("w.db"));
    db.exec("ATTACH '" + d.path("s.db") + "' AS src");
    db.exec("BEGIN");
    db.exec("INSERT INTO loc(" + columns + ") SELECT " + columns +
            " FROM src.loc s WHERE NOT EXISTS (SELECT 1 FROM main.loc m WHERE "
            "m.continent = s.continent COLLATE NOCASE AND m.country = s.country COLLATE NOCASE "
            "AND m.state = s.state COLLATE NOCASE AND m.name = s.name COLLATE NOCASE AND "
            "m.level = s.level AND m.latitude = s.latitude AND m.longitude = s.longitude)");
    db.exec("COMMIT");
  }
  w.stop();
  removeScratch(d);
}

// ---- preparation ----

void loadSqlite(const std::string& data, const std::string& db) {
  std::remove(db.c_str());
  SqliteStore store(db);
  store.createSchema();
  store.exec("BEGIN");
  {
    SqliteStore::Statement insert = store.insertStatement();
    std::vector<char> buffer(4096 * kLocationDataSize);
    platform::File f;
    f.open(data, platform::File::kReadOnly);
    long index = 0;
    for (long at = 0;; at += static_cast<long>(buffer.size())) {
      long got = f.readAt(at, buffer.data(), buffer.size());
      for (long k = 0; k + kLocationDataSize <= got; k += kLocationDataSize) {
        LocationData r;
        std::memcpy(&r, buffer.data() + k, sizeof r);
        SqliteStore::insert(insert, index++, r);
      }
      if (got < static_cast<long>(buffer.size())) break;
    }
  }
  store.exec("COMMIT");
  store.exec("PRAGMA wal_checkpoint(TRUNCATE)");
  store.exec("ANALYZE");
}

// Whether SQLite is left out (its databases and jobs): at 10^7 its loads
// and imports take longer than all of metdb's jobs.
bool gNoSqlite = false;

void prepare(const Databases& d) {
  IsolatedRun::run([&](Stopwatch& w) {
    bench::writeGroupedDatabase(d.path("m.bmt"), d.n);
    bench::writeGroupedDatabase(d.path("h.bmt"), d.n, 5);
    { BMTFile m(d.path("m.bmt").c_str()); }  // rebuilds and saves m.dir
    { BMTFile h(d.path("h.bmt").c_str()); }
    if (!gNoSqlite) {
      loadSqlite(d.path("m.bmt"), d.path("s.db"));
      loadSqlite(d.path("h.bmt"), d.path("h.db"));
    }
    w.start();
    w.stop();
  });
}

// ---- the table ----

struct Row {
  std::string job;
  long n;
  IsolatedRun::Result metdb, sqlite, floor;
};

using JobFn = std::function<void(const Databases&, Stopwatch&)>;

struct Job {
  std::string name;
  JobFn metdb, sqlite, floor;  // empty where the way does not apply
};

std::vector<Job> jobs() {
  using D = const Databases&;
  auto none = JobFn();
  return {
      {"open, rebuild from records", metdbRebuild, sqliteRebuild,
       [](D d, Stopwatch& w) {
         w.start();
         PhysicalFloor::readAll(d.path("m.bmt"));
         w.stop();
       }},
      {"rebuild's memory alone*", none, none,
       [](D d, Stopwatch& w) {
         // One block of a directory entry's size per record, each touched:
         // what making the in-memory directory costs before any work.
         std::vector<char*> blocks(static_cast<std::size_t>(d.n));
         w.start();
         for (char*& b : blocks) {
           b = new char[sizeof(Location)];
           std::memset(b, 0, sizeof(Location));
         }
         w.stop();
       }},
      {"open from directory file", metdbOpen, sqliteOpen,
       [](D d, Stopwatch& w) {
         w.start();
         PhysicalFloor::readAll(d.path("m.dir"));
         w.stop();
       }},
      {"save directory", metdbSave, none,
       [](D d, Stopwatch& w) {
         w.start();
         PhysicalFloor::rewrite({}, d.path("w.dir"),
                                static_cast<long>(fs::file_size(d.path("m.dir"))));
         w.stop();
         removeScratch(d);
       }},
      {"full walk", [](D d, Stopwatch& w) { metdbWalk(d, w, false); },
       [](D d, Stopwatch& w) { sqliteWalk(d, w, "", d.n); },
       [](D d, Stopwatch& w) {
         w.start();
         PhysicalFloor::readAll(d.path("m.bmt"));
         w.stop();
       }},
      {"full walk, read ahead*", [](D d, Stopwatch& w) { metdbWalk(d, w, true); }, none, none},
      {"selection walk (box)", metdbSelection,
       [](D d, Stopwatch& w) {
         char where[160];
         std::snprintf(where, sizeof where,
                       "WHERE latitude BETWEEN %g AND %g AND longitude BETWEEN %g AND %g AND "
                       "level <= 5",
                       -kBoxLatitude, kBoxLatitude, -kBoxLongitude, kBoxLongitude);
         sqliteWalk(d, w, where, countInBox(d.path("m.bmt")));
       },
       [](D d, Stopwatch& w) {
         w.start();
         PhysicalFloor::readAll(d.path("m.bmt"));
         w.stop();
       }},
      {"10^4 point reads", metdbPointReads, sqlitePointReads,
       [](D d, Stopwatch& w) {
         std::vector<long> indices = randomIndices(d.n);
         w.start();
         PhysicalFloor::pointReads(d.path("m.bmt"), indices);
         w.stop();
       }},
      {"10^4 appends", [](D d, Stopwatch& w) { metdbAppends(d, w, false); }, sqliteAppends,
       floorAppends},
      {"10^4 appends, lock held", [](D d, Stopwatch& w) { metdbAppends(d, w, true); },
       sqliteAppends, floorAppends},
      {"compaction after deleting a tenth", metdbCompaction, sqliteCompaction,
       [](D d, Stopwatch& w) {
         w.start();
         PhysicalFloor::rewrite({d.path("m.bmt")}, d.path("w.bmt"),
                                (d.n - (d.n + 9) / 10) * kLocationDataSize);
         w.stop();
         removeScratch(d);
       }},
      {"import into empty", [](D d, Stopwatch& w) { metdbImport(d, w, false); },
       [](D d, Stopwatch& w) { sqliteImport(d, w, false); },
       [](D d, Stopwatch& w) {
         w.start();
         PhysicalFloor::rewrite({d.path("m.bmt")}, d.path("w.bmt"), d.n * kLocationDataSize);
         w.stop();
         removeScratch(d);
       }},
      {"import into half-equal", [](D d, Stopwatch& w) { metdbImport(d, w, true); },
       [](D d, Stopwatch& w) { sqliteImport(d, w, true); },
       [](D d, Stopwatch& w) {
         w.start();
         PhysicalFloor::rewrite({d.path("m.bmt"), d.path("h.bmt")}, d.path("w.bmt"),
                                (d.n * 3 / 2) * kLocationDataSize);
         w.stop();
         removeScratch(d);
       }},
  };
}

// Whether the figures are CPU time (user and system) instead of wall time:
// on a machine shared with other work the wall time grows with the others'
// load, the CPU time hardly (it leaves out waits for the disk, which the
// jobs that sync have).
bool gCpuTime = false;

// The best of `repeat` runs (one for a run that takes over two seconds):
// the machine's other load only ever adds time.
IsolatedRun::Result measure(const JobFn& fn, const Databases& d, int repeat) {
  IsolatedRun::Result best;
  if (!fn) return best;
  for (int i = 0; i < repeat; ++i) {
    IsolatedRun::Result r = IsolatedRun::run([&](Stopwatch& w) { fn(d, w); });
    if (gCpuTime) r.ms = r.cpuMs;
    if (std::isnan(r.ms)) return r;
    if (std::isnan(best.ms) || r.ms < best.ms) best = r;
    if (r.ms > 2000) break;
  }
  return best;
}

std::string number(double v) {
  if (std::isnan(v)) return "—";
  char buf[32];
  std::snprintf(buf, sizeof buf, v < 10 ? "%.2f" : v < 100 ? "%.1f" : "%.0f", v);
  return buf;
}

std::string ratio(double a, double b) {
  if (std::isnan(a) || std::isnan(b) || b <= 0) return "—";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", a / b);
  return buf;
}

std::string sizeName(long n) {
  int e = 0;
  long m = n;
  while (m >= 10 && m % 10 == 0) {
    m /= 10;
    ++e;
  }
  return m == 1 ? "10^" + std::to_string(e) : std::to_string(n);
}

void printRow(const Row& r, std::FILE* out = stdout) {
  std::fprintf(out, "| %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", r.job.c_str(),
               sizeName(r.n).c_str(), number(r.metdb.ms).c_str(), number(r.sqlite.ms).c_str(),
               number(r.floor.ms).c_str(), ratio(r.metdb.ms, r.sqlite.ms).c_str(),
               ratio(r.metdb.ms, r.floor.ms).c_str(), number(r.metdb.peakMB).c_str(),
               number(r.sqlite.peakMB).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<long> sizes = {10000, 100000, 1000000};
  int repeat = 3;
  std::string only;  // runs only the jobs whose name holds it
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0) {
      sizes = {10000, 100000};
    } else if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
      repeat = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--no-sqlite") == 0) {
      gNoSqlite = true;
    } else if (std::strcmp(argv[i], "--cpu") == 0) {
      gCpuTime = true;
    } else if (std::strcmp(argv[i], "--jobs") == 0 && i + 1 < argc) {
      only = argv[++i];
    } else if (std::strcmp(argv[i], "--sizes") == 0 && i + 1 < argc) {
      sizes.clear();
      for (char* p = argv[++i]; *p != '\0';) {
        sizes.push_back(std::strtol(p, &p, 10));
        if (*p == ',') ++p;
      }
    } else {
      std::fprintf(stderr,
                   "usage: %s [--quick] [--sizes N,N,...] [--repeat R] [--jobs TEXT] [--cpu] "
                   "[--no-sqlite]\n",
                   argv[0]);
      return 1;
    }
  }
  bench::ScratchDir scratch;
  std::vector<Job> all = jobs();
  all.erase(std::remove_if(all.begin(), all.end(),
                           [&](const Job& j) { return j.name.find(only) == std::string::npos; }),
            all.end());
  std::vector<Row> rows;
  bool failed = false;
  for (long n : sizes) {
    Databases d{n, scratch.file(std::to_string(n))};
    fs::create_directories(d.dir);
    std::fprintf(stderr, "== %ld records: preparing\n", n);
    prepare(d);
    for (const Job& job : all) {
      std::fprintf(stderr, "   %s\n", job.name.c_str());
      Row row{job.name, n, measure(job.metdb, d, repeat),
              gNoSqlite ? IsolatedRun::Result() : measure(job.sqlite, d, repeat),
              measure(job.floor, d, repeat)};
      failed = failed || (job.metdb && std::isnan(row.metdb.ms)) ||
               (job.sqlite && !gNoSqlite && std::isnan(row.sqlite.ms)) ||
               (job.floor && std::isnan(row.floor.ms));
      // Each row as it is measured too, so that a long run that is stopped
      // leaves what it had.
      printRow(row, stderr);
      rows.push_back(row);
    }
    fs::remove_all(d.dir);
  }

  const char* unit = gCpuTime ? "CPU ms" : "ms";
  std::printf(
      "| job | n | metdb %s | SQLite %s | floor %s | metdb/SQLite | metdb/floor | metdb MB | "
      "SQLite MB |\n|---|---|---:|---:|---:|---:|---:|---:|---:|\n",
      unit, unit, unit);
  for (const Job& job : all) {
    for (const Row& r : rows) {
      if (r.job == job.name) printRow(r);
    }
  }
  if (sizes.size() >= 2) {
    long big = sizes[sizes.size() - 1], small = sizes[sizes.size() - 2];
    std::printf("\n| job | metdb %s / %s |\n|---|---:|\n", sizeName(big).c_str(),
                sizeName(small).c_str());
    for (const Job& job : all) {
      double a = NAN, b = NAN;
      for (const Row& r : rows) {
        if (r.job == job.name && r.n == big) a = r.metdb.ms;
        if (r.job == job.name && r.n == small) b = r.metdb.ms;
      }
      if (job.metdb) std::printf("| %s | %s |\n", job.name.c_str(), ratio(a, b).c_str());
    }
  }
  if (failed) std::fprintf(stderr, "some job failed or gave a wrong result (— in its column)\n");
  return failed ? 3 : 0;
}
