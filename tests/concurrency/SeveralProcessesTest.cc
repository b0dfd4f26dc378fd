// Several processes on one database: tool commands racing each other,
// readers beside a writer, hosts appending, walking and saving while the
// tool replaces the data file, read-only access, and the lock itself.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sstream>

#include "datafile/BMTFile.h"
#include "datafile/MetDatabaseLock.h"
#include "module/CurrentDatabase.h"
#include "selection/TLocList.h"
#include "selection/TLocationIterator.h"
#include "selection/TLocationSelection.h"
#include "tests/concurrency/Processes.h"
#include "tests/support/Records.h"
#include "tests/support/TempDir.h"

namespace concurrency {
namespace {

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;
using Contents = std::map<std::string, Place>;

constexpr int kStations = 60;

std::string key(const Place& p) {
  std::string k = p.continent + "/" + p.country + "/" + p.state + "/" + p.name;
  for (char& c : k) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return k;
}

Place place(const char* continent, const char* country, const char* state, std::string name,
            int level, float latitude, float longitude, int aux = 0) {
  return Place{continent, country, state, std::move(name), level, latitude, longitude, aux};
}

LocationData recordOf(const Place& p) {
  return testsupport::makeRecord(p.continent.c_str(), p.country.c_str(), p.state.c_str(),
                                 p.name.c_str(), p.level, p.latitude, p.longitude, p.aux);
}

// The tool's add command for p.
std::vector<std::string> addArgs(const Place& p) {
  char lat[32], lon[32];
  std::snprintf(lat, sizeof lat, "%.9g", p.latitude);
  std::snprintf(lon, sizeof lon, "%.9g", p.longitude);
  return {"--db",
          "s.bmt",
          "add",
          "--name",
          p.name,
          "--state",
          p.state,
          "--country",
          p.country,
          "--continent",
          p.continent,
          "--level",
          std::to_string(p.level),
          "--latitude",
          lat,
          "--longitude",
          lon};
}

class SeveralProcessesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    chmod(dir.path().c_str(), 0755);  // reachable for the unprivileged user too
    writeFile(dir.file("s.csv"), stationList(kStations, "S"));
    ASSERT_EQ(runTool(dir.path(), "create", {"--db", "s.bmt", "create", "s.csv"}), 0);
    before = contentsOf(db());
    ASSERT_EQ(before.size(), static_cast<std::size_t>(kStations));
  }

  std::string db() const { return dir.file("s.bmt"); }

  // Starts every command at once and expects each to succeed.
  void race(const std::vector<std::vector<std::string>>& commands) {
    Gate start;
    std::vector<pid_t> pids;
    for (std::size_t i = 0; i < commands.size(); ++i) {
      pids.push_back(spawnTool(dir.path(), "c" + std::to_string(i), commands[i], &start));
    }
    start.open();
    for (std::size_t i = 0; i < pids.size(); ++i) {
      EXPECT_EQ(waitFor(pids[i]), 0)
          << commands[i][2] << ": " << readFile(dir.file("c" + std::to_string(i) + ".err"));
    }
  }

  // Expects the database to hold exactly expected, record by record, with
  // a directory file that describes the data file.
  void expectContents(const Contents& expected) {
    Contents now = contentsOf(db());
    EXPECT_EQ(now.size(), expected.size());
    for (const auto& [path, p] : expected) {
      auto found = now.find(path);
      if (found == now.end()) {
        ADD_FAILURE() << path << " is lost";
      } else {
        EXPECT_TRUE(found->second == p) << path << " changed";
      }
    }
    expectConsistent(db());
  }

  TempDir dir;
  Contents before;
};

// Eight editing commands of one kind started at once: each one's change is
// kept, and no untouched location changes or moves to another group.
class ConcurrentEditTest : public SeveralProcessesTest,
                           public ::testing::WithParamInterface<std::string> {};

TEST_P(ConcurrentEditTest, EveryCommandTakesEffect) {
  const std::string kind = GetParam();
  Contents expected = before;
  std::vector<std::vector<std::string>> commands;
  auto originals = before.begin();
  for (int i = 0; i < 8; ++i) {
    Place added =
        place("Europe", "Norway", "Oslo", "N" + std::to_string(i), 2, 10.5f + i, 20.25f - i);
    if (kind == "add" || (kind == "add+compact" && i % 2 == 0)) {
      commands.push_back(addArgs(added));
      expected[key(added)] = added;
    } else if (kind == "add+compact") {
      commands.push_back({"--db", "s.bmt", "compact"});
    } else if (kind == "delete") {
      const Place& gone = (originals++)->second;
      commands.push_back(
          {"--db", "s.bmt", "delete",
           gone.continent + "/" + gone.country + "/" + gone.state + "/" + gone.name});
      expected.erase(key(gone));
    } else if (kind == "import") {
      std::string source = "src" + std::to_string(i);
      Place one = place("Asia", "Japan", "Tokyo", "I" + std::to_string(i), 1, 35.5f, 139.5f + i);
      writeFile(dir.file(source + ".csv"),
                "name,state,country,continent,level,latitude,longitude\nI" + std::to_string(i) +
                    ",Tokyo,Japan,Asia,1,35.5," + std::to_string(139.5 + i) + "\n");
      ASSERT_EQ(runTool(dir.path(), "make", {"--db", source + ".bmt", "create", source + ".csv"}),
                0);
      commands.push_back({"--db", "s.bmt", "import", source + ".bmt"});
      expected[key(one)] = one;
    }
  }
  race(commands);
  expectContents(expected);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ConcurrentEditTest,
                         ::testing::Values("add", "delete", "import", "add+compact"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param == "add+compact" ? std::string("AddAndCompact")
                                                              : info.param;
                         });

// Exported rows: every one must be a location the database held at some
// moment, with that location's fields.
int checkExport(const std::string& csv, const Contents& known, std::size_t least,
                std::size_t most) {
  std::istringstream in(csv);
  std::string line;
  std::getline(in, line);  // header
  std::size_t rows = 0;
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream cells(line);
    std::string cell;
    while (std::getline(cells, cell, ',')) f.push_back(cell);
    if (f.size() < 8) return 2;
    Place p{f[3],
            f[2],
            f[1],
            f[0],
            std::atoi(f[4].c_str()),
            std::strtof(f[5].c_str(), nullptr),
            std::strtof(f[6].c_str(), nullptr),
            std::atoi(f[7].c_str())};
    auto found = known.find(key(p));
    if (found == known.end() || !(found->second == p)) return 3;
    ++rows;
  }
  return rows >= least && rows <= most ? 0 : 4;
}

// Processes that give locations identifiers at once, beside additions
// and compactions: every identifier ends on its location.
TEST_F(SeveralProcessesTest, ProcessesEditingStationInformationKeepEachOthers) {
  std::vector<std::vector<std::string>> commands;
  std::vector<std::pair<std::string, std::string>> expected;  // id, name
  auto originals = before.begin();
  for (int i = 0; i < 8; ++i) {
    std::string id = "wmo:1000" + std::to_string(i);
    if (i % 4 == 3) {
      commands.push_back({"--db", "s.bmt", "compact"});
    } else if (i % 4 == 2) {
      Place added =
          place("Europe", "Norway", "Oslo", "N" + std::to_string(i), 2, 10.5f + i, 20.25f);
      std::vector<std::string> args = addArgs(added);
      args.insert(args.end(), {"--add-id", id});
      commands.push_back(args);
      expected.emplace_back(id, added.name);
    } else {
      const Place& p = (originals++)->second;
      commands.push_back({"--db", "s.bmt", "set",
                          p.continent + "/" + p.country + "/" + p.state + "/" + p.name, "--add-id",
                          id});
      expected.emplace_back(id, p.name);
    }
  }
  race(commands);
  for (const auto& [id, name] : expected) {
    ASSERT_EQ(runTool(dir.path(), "show", {"--db", "s.bmt", "show", id}), 0) << id;
    std::string shown = readFile(dir.file("show.out"));
    EXPECT_NE(shown.find("  name       " + name + "\n"), std::string::npos) << id << ":\n" << shown;
  }
  ASSERT_EQ(runTool(dir.path(), "check", {"--db", "s.bmt", "check"}), 0)
      << readFile(dir.file("check.out"));
  expectConsistent(db());
}

TEST_F(SeveralProcessesTest, ReadersBesideAWriterSeeWholeDatabasesAndChangeNothing) {
  constexpr int kAdds = 20;
  Contents known = before;
  std::vector<Place> additions;
  for (int i = 0; i < kAdds; ++i) {
    additions.push_back(
        place("Africa", "Kenya", "Nairobi", "W" + std::to_string(i), 1, -1.25f - i, 36.75f));
    known[key(additions.back())] = additions.back();
  }
  Gate start;
  pid_t writer = spawn(
      [&]() {
        int failures = 0;
        for (const Place& p : additions) failures += runTool(dir.path(), "w", addArgs(p)) != 0;
        return failures;
      },
      &start);
  std::vector<pid_t> readers;
  for (int r = 0; r < 2; ++r) {
    readers.push_back(spawn(
        [&, r]() {
          std::string name = "r" + std::to_string(r);
          for (int round = 0; round < 12; ++round) {
            if (runTool(dir.path(), name, {"--db", "s.bmt", "export"}) != 0) return 1;
            int verdict =
                checkExport(readFile(dir.file(name + ".out")), known, kStations, kStations + kAdds);
            if (verdict != 0) return 10 + verdict;
            if (runTool(dir.path(), name + "c", {"--db", "s.bmt", "check"}) != 0) return 20;
          }
          return 0;
        },
        &start));
  }
  start.open();
  EXPECT_EQ(waitFor(writer), 0) << readFile(dir.file("w.err"));
  for (pid_t reader : readers) EXPECT_EQ(waitFor(reader), 0);
  expectContents(known);
}

// A host appending records (entering each in its directory) while the tool
// compacts: each record reads back by the index the host was given, and
// every one is in the database once the host has closed it.
TEST_F(SeveralProcessesTest, HostAppendsKeepTheirIndicesWhileTheToolCompacts) {
  constexpr int kAppends = 300;
  Contents expected = before;
  std::vector<Place> host;
  for (int i = 0; i < kAppends; ++i) {
    host.push_back(place("Oceania", "Fiji", "Central", "H" + std::to_string(i), 1, -18.0f,
                         178.0f + i / 1000.0f, i));
    expected[key(host.back())] = host.back();
  }
  Gate start;
  pid_t appender = spawn(
      [&]() {
        BMTFile* db = new BMTFile(this->db().c_str());
        LocationData previous;
        for (int i = 0, reopened = 0; i < kAppends; ++i) {
          LocationData record = recordOf(host[static_cast<std::size_t>(i)]);
          long index = db->addLocationData(record);
          if (index < 0) {
            // Replaced by a compaction before the first append: open anew.
            if (!db->IsStale() || ++reopened > 100 || i > 0) return 10;
            delete db;
            db = new BMTFile(this->db().c_str());
            --i;
            continue;
          }
          db->directory->addOrderedEntry(record, previous, index);
          LocationData back;
          db->getLocationData(index, back);
          if (std::memcmp(&back, &record, sizeof record) != 0) return 11;
        }
        delete db;
        return 0;
      },
      &start);
  pid_t compactor = spawn(
      [&]() {
        for (int round = 0; round < 20; ++round) {
          int status = runTool(dir.path(), "k", {"--db", "s.bmt", "compact"});
          if (status != 0 && status != 1) return 1;
        }
        return 0;
      },
      &start);
  start.open();
  EXPECT_EQ(waitFor(appender), 0);
  EXPECT_EQ(waitFor(compactor), 0);
  EXPECT_EQ(runTool(dir.path(), "k", {"--db", "s.bmt", "compact"}), 0);
  expectContents(expected);
}

TEST_F(SeveralProcessesTest, ReplacementRefusesWhileAnotherProcessHoldsUnsavedRecords) {
  Place late = place("Oceania", "Fiji", "Central", "Suva", 1, -18.14f, 178.44f);
  Gate appended, close;
  pid_t host = spawn([&]() {
    BMTFile db(this->db().c_str());
    LocationData record = recordOf(late), previous;
    long index = db.addLocationData(record);
    if (index < 0) return 1;
    db.directory->addOrderedEntry(record, previous, index);
    appended.open();
    close.wait();
    return 0;
  });
  appended.wait();
  EXPECT_EQ(runTool(dir.path(), "c", {"--db", "s.bmt", "compact"}), 1);
  EXPECT_NE(readFile(dir.file("c.err")).find("has not saved"), std::string::npos)
      << readFile(dir.file("c.err"));
  EXPECT_EQ(runTool(dir.path(), "a", addArgs(place("Asia", "Japan", "Tokyo", "T", 1, 1, 1))), 1);
  close.open();
  EXPECT_EQ(waitFor(host), 0);
  EXPECT_EQ(runTool(dir.path(), "c", {"--db", "s.bmt", "compact"}), 0);
  Contents expected = before;
  expected[key(late)] = late;
  expectContents(expected);
}

// A host that walks a selection while the tool compacts, imports, adds and
// deletes loads the records of the database it opened, and learns that its
// view is stale: its writes fail instead of landing in the new file.
TEST_F(SeveralProcessesTest, HostWalkingAnIteratorReadsTheDatabaseItOpened) {
  writeFile(dir.file("more.csv"), stationList(30, "M"));
  ASSERT_EQ(runTool(dir.path(), "m", {"--db", "more.bmt", "create", "more.csv"}), 0);
  Gate ready, changed;
  pid_t host = spawn([&]() {
    setMetDatabase(this->db().c_str());
    TLocationSelection selection;
    selection.levelLimit = 127;
    TLocList** link = &selection.continentList;
    for (const char* continent : {"Africa", "Asia", "Europe"}) {
      *link = new TLocList(continent, true);
      link = &(*link)->nextEntry;
    }
    TLocationIterator it(&selection);
    if (it.getNumLocations() != kStations) return 1;
    ready.open();
    changed.wait();
    int wrong = 0;
    it.first();
    for (long i = 0; i < it.getNumLocations(); ++i, it.next()) {
      auto found = before.find(key(placeOf(it.locData)));
      wrong += found == before.end() || !(found->second == placeOf(it.locData));
    }
    BMTFile* db = getMetDatabase();
    LocationData record = recordOf(place("Asia", "Japan", "Tokyo", "X", 1, 1, 1));
    if (!db->IsStale() || db->addLocationData(record) != -1) return 2;
    return wrong == 0 ? 0 : 3;
  });
  ready.wait();
  const Place& gone = before.begin()->second;
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"--db", "s.bmt", "compact"},
        std::vector<std::string>{"--db", "s.bmt", "import", "more.bmt"},
        addArgs(place("Asia", "Japan", "Tokyo", "New", 1, 35, 139)),
        std::vector<std::string>{
            "--db", "s.bmt", "delete",
            gone.continent + "/" + gone.country + "/" + gone.state + "/" + gone.name}}) {
    EXPECT_EQ(runTool(dir.path(), "t", command), 0) << readFile(dir.file("t.err"));
  }
  changed.open();
  EXPECT_EQ(waitFor(host), 0);
  EXPECT_EQ(contentsOf(db()).size(), static_cast<std::size_t>(kStations + 30));
}

// Two hosts open the database, each appends into its own group, one of
// them deletes a few locations, and both close: every record of both is
// referred to, and the deletions stay deleted, whichever saves last.
TEST_F(SeveralProcessesTest, TwoHostsAppendingAndDeletingKeepEachOthersWork) {
  constexpr int kAppends = 2000;
  Contents expected = before;
  std::vector<std::string> deleted;
  for (auto it = before.begin(); deleted.size() < 3; ++it) {
    deleted.push_back(it->second.name);
    expected.erase(it->first);
  }
  std::vector<Place> mine[2];
  for (int h = 0; h < 2; ++h) {
    for (int i = 0; i < kAppends; ++i) {
      mine[h].push_back(place("Oceania", h == 0 ? "Fiji" : "Samoa", "Main", "P" + std::to_string(i),
                              1, -14.0f - h, 170.0f + i / 100.0f, i));
      expected[key(mine[h].back())] = mine[h].back();
    }
  }
  Gate opened[2], start, firstClosed;
  pid_t hosts[2];
  for (int h = 0; h < 2; ++h) {
    hosts[h] = spawn([&, h]() {
      BMTFile db(this->db().c_str());
      opened[h].open();
      start.wait();
      LocationData previous;
      for (const Place& p : mine[h]) {
        LocationData record = recordOf(p);
        long index = db.addLocationData(record);
        if (index < 0) return 1;
        db.directory->addOrderedEntry(record, previous, index);
      }
      if (h == 0) {
        Directory* d = db.directory;
        for (const std::string& name : deleted) {
          d->first();
          while (d->getLocationName() == nullptr || name != d->getLocationName()) {
            if (!d->next()) return 3;
          }
          d->deleteEntry();
        }
        return db.storeDirectory() ? 0 : 2;  // saves first
      }
      firstClosed.wait();
      return 0;  // saves when db goes
    });
  }
  opened[0].wait();
  opened[1].wait();
  start.open();
  EXPECT_EQ(waitFor(hosts[0]), 0);
  firstClosed.open();
  EXPECT_EQ(waitFor(hosts[1]), 0);
  // The hosts' records interleave at the end of the file and the deleted
  // ones are still there: a compaction regroups and drops them.
  EXPECT_EQ(contentsOf(db()).size(), expected.size());
  EXPECT_EQ(runTool(dir.path(), "c", {"--db", "s.bmt", "compact"}), 0);
  expectContents(expected);
}

// A record appended and the directory file written within the file
// system's time resolution: the data file is still newer, so an opening
// rebuilds the directory and a compaction keeps the record.
TEST_F(SeveralProcessesTest, ARecordAppendedJustBeforeACompactionIsKept) {
  Place late = place("Europe", "Norway", "Oslo", "Late", 1, 59.5f, 10.5f);
  {
    BMTFile db(this->db().c_str());
    ASSERT_TRUE(db.storeDirectory());  // the directory file written just now
    LocationData record = recordOf(late);
    ASSERT_GE(db.addLocationData(record), 0);  // and the record, not entered
    EXPECT_EQ(db.IsDirectoryOutofDate(), 1);
  }
  EXPECT_EQ(runTool(dir.path(), "c", {"--db", "s.bmt", "compact"}), 0);
  Contents expected = before;
  expected[key(late)] = late;
  expectContents(expected);
}

// A database the user may only read: the reading commands and a read-only
// opening work and write nothing; a writing command says why it cannot.
TEST_F(SeveralProcessesTest, AReadOnlyDatabaseOpensForReading) {
  std::remove(dir.file("s.bmt.lock").c_str());
  for (const char* file : {"s.bmt", "s.dir", "s.csv"}) chmod(dir.file(file).c_str(), 0444);
  chmod(dir.path().c_str(), 0555);
  std::string out = dir.file("out");
  mkdir(out.c_str(), 0777);
  chmod(out.c_str(), 0777);
  std::vector<std::string> filesBefore = testsupport::listFolder(dir.path());
  int status = testsupport::runUnprivileged([&]() {
    for (const char* command : {"info", "list", "check", "export", "tree"}) {
      if (runTool(out, command, {"--db", this->db(), command}) != 0) return 10;
    }
    if (runTool(out, "add",
                {"--db", this->db(), "add", "--name", "X", "--state", "S", "--country", "C",
                 "--continent", "Asia", "--latitude", "1", "--longitude", "2"}) != 1) {
      return 20;
    }
    if (readFile(out + "/add.err").find("ermission denied") == std::string::npos) return 21;
    BMTFile db(this->db().c_str(), BMTFile::kReadOnly);
    if (!db.IsValid() || db.directory->locationCount != kStations) return 30;
    LocationData record;
    db.getLocationData(0, record);
    if (db.addLocationData(record) != -1 || db.storeDirectory()) return 31;
    return 0;
  });
  chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(status, 0) << readFile(out + "/add.err");
  EXPECT_EQ(testsupport::listFolder(dir.path()), filesBefore);
  EXPECT_TRUE(contentsOf(db()) == before);
}

// The lock file is made by whoever opens the database first, here a user
// who may only read it; another user who may write the database can still
// lock it for writing.
TEST_F(SeveralProcessesTest, ALockFileMadeByAReaderLetsAWriterLock) {
  if (geteuid() != 0) GTEST_SKIP() << "needs two users other than this one";
  std::remove(dir.file("s.bmt.lock").c_str());
  chmod(dir.path().c_str(), 0777);
  for (const char* file : {"s.bmt", "s.dir"}) chmod(dir.file(file).c_str(), 0666);
  auto as = [](uid_t user, const std::function<int()>& body) {
    return waitFor(spawn([&]() {
      if (setgid(user) != 0 || setuid(user) != 0) return 98;
      return body();
    }));
  };
  EXPECT_EQ(as(65534,
               [&]() {
                 BMTFile db(this->db().c_str(), BMTFile::kReadOnly);
                 return db.IsValid() ? 0 : 1;
               }),
            0);
  struct stat st;
  ASSERT_EQ(stat(dir.file("s.bmt.lock").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666u);
  EXPECT_EQ(as(65533,
               [&]() {
                 BMTFile db(this->db().c_str());
                 LocationData record = recordOf(place("Asia", "Japan", "Tokyo", "Z", 1, 1, 1));
                 return db.addLocationData(record) >= 0 ? 0 : 1;
               }),
            0);
  chmod(dir.path().c_str(), 0755);
}

// An append whose time lies after the directory file's next save (the file
// system's clock moves in steps): the saved directory file is made at
// least as new as the data file, so that it is trusted.
TEST_F(SeveralProcessesTest, ADirectorySavedAfterAnAppendIsTrusted) {
  Place late = place("Europe", "Norway", "Oslo", "Late", 1, 59.5f, 10.5f);
  {
    BMTFile db(this->db().c_str());
    LocationData record = recordOf(late), previous;
    long index = db.addLocationData(record);
    ASSERT_GE(index, 0);
    db.directory->addOrderedEntry(record, previous, index);
    ASSERT_TRUE(testsupport::setModificationTime(this->db(), time(nullptr) + 100));
    ASSERT_TRUE(db.storeDirectory());
    EXPECT_EQ(db.IsDirectoryOutofDate(), 0);
  }
  BMTFile again(db().c_str(), BMTFile::kReadOnly);
  EXPECT_FALSE(again.directory->changed);  // read from the file, not rebuilt
}

// An append knows the data file's length only for the hold it learnt it
// under: once the host's hold ends, another process's append is followed,
// and every record is there for a third process to read.
TEST_F(SeveralProcessesTest, AppendsAfterAHeldLockFollowAnotherProcesssAppend) {
  std::vector<LocationData> records;
  for (int i = 0; i < 4; ++i) {
    records.push_back(
        recordOf(place("Asia", "Japan", "Kansai", "K" + std::to_string(i), 1, 34, 135)));
  }
  BMTFile host(db().c_str());
  long first = host.fileLength() / kLocationDataSize;
  MetDatabaseLock lock(db().c_str());
  ASSERT_TRUE(lock.lock(MetDatabaseLock::kExclusive, 5));
  ASSERT_EQ(host.addLocationData(records[0]), first);
  ASSERT_EQ(host.addLocationData(records[1]), first + 1);
  lock.unlock();
  pid_t other = spawn([&]() {
    BMTFile db(this->db().c_str());
    return db.addLocationData(records[2]) == first + 2 ? 0 : 1;
  });
  ASSERT_EQ(waitFor(other), 0);
  EXPECT_EQ(host.addLocationData(records[3]), first + 3);
  pid_t reader = spawn([&]() {
    BMTFile db(this->db().c_str(), BMTFile::kReadOnly);
    if (db.fileLength() != (first + 4) * kLocationDataSize) return 1;
    for (long i = 0; i < 4; ++i) {
      LocationData back;
      db.getLocationData(first + i, back);
      if (std::memcmp(&back, &records[static_cast<std::size_t>(i)], sizeof back) != 0) return 2;
    }
    return 0;
  });
  EXPECT_EQ(waitFor(reader), 0);
}

TEST_F(SeveralProcessesTest, AProcessKilledWhileHoldingTheLockHoldsItNoMore) {
  Gate locked;
  pid_t holder = spawn([&]() {
    MetDatabaseLock lock(this->db().c_str());
    if (!lock.lock(MetDatabaseLock::kExclusive, 0)) return 1;
    locked.open();
    for (;;) pause();
  });
  locked.wait();
  MetDatabaseLock lock(db().c_str());
  EXPECT_FALSE(lock.lock(MetDatabaseLock::kShared, 0));
  // A command waits, then gives up with a message, changing nothing.
  EXPECT_EQ(runTool(dir.path(), "a",
                    {"--db", "s.bmt", "--wait", "0.3", "delete", before.begin()->second.continent}),
            1);
  EXPECT_NE(readFile(dir.file("a.err")).find("locked"), std::string::npos);
  // The wait names what it waits for: a writer, here.
  EXPECT_NE(readFile(dir.file("a.err")).find("is changing the database"), std::string::npos)
      << readFile(dir.file("a.err"));
  kill(holder, SIGKILL);
  waitFor(holder);
  EXPECT_TRUE(lock.lock(MetDatabaseLock::kExclusive, 0));
  lock.unlock();
  expectContents(before);
}

// Commands adding while another process removes and replaces the lock file
// again and again (as a person clearing "stale" lock files might): the lock
// is not split, so every add that reported success is kept.
TEST_F(SeveralProcessesTest, ALockFileReplacedWhileCommandsAddSplitsNoLock) {
  constexpr int kAdders = 6, kAddsEach = 4;
  Gate start;
  pid_t replacer = spawn(
      [&]() {
        std::string lock = dir.file("s.bmt.lock"), fresh = dir.file("fresh.lock");
        for (long round = 0;; ++round) {
          if (round % 2 == 0) {
            std::remove(lock.c_str());
          } else {
            writeFile(fresh, "");
            std::rename(fresh.c_str(), lock.c_str());
          }
        }
        return 0;
      },
      &start);
  std::vector<pid_t> adders;
  for (int a = 0; a < kAdders; ++a) {
    adders.push_back(spawn(
        [&, a]() {
          int added = 0;  // one bit per add that reported success
          for (int i = 0; i < kAddsEach; ++i) {
            Place p = place("Europe", "Norway", "Oslo", "R" + std::to_string(a * 10 + i), 1,
                            50.5f + a, 5.25f + i);
            std::string name = "r" + std::to_string(a) + "_" + std::to_string(i);
            if (runTool(dir.path(), name, addArgs(p)) == 0) added |= 1 << i;
          }
          return added;
        },
        &start));
  }
  start.open();
  std::vector<int> results;
  for (pid_t pid : adders) results.push_back(waitFor(pid));
  kill(replacer, SIGKILL);
  waitFor(replacer);

  Contents now = contentsOf(db());
  int reported = 0;
  for (int a = 0; a < kAdders; ++a) {
    ASSERT_GE(results[static_cast<std::size_t>(a)], 0);
    for (int i = 0; i < kAddsEach; ++i) {
      if ((results[static_cast<std::size_t>(a)] & (1 << i)) == 0) continue;
      ++reported;
      Place p = place("Europe", "Norway", "Oslo", "R" + std::to_string(a * 10 + i), 1, 50.5f + a,
                      5.25f + i);
      EXPECT_TRUE(now.count(key(p)) == 1) << p.name << " reported added but is lost";
    }
  }
  EXPECT_GT(reported, 0);
  for (const auto& [path, p] : before) EXPECT_TRUE(now.count(path) == 1) << path << " is lost";
  expectConsistent(db());
}

// The lock file takes the data file's read and write bits (here the owner's
// and the group's), not 0666: no one who may not write the database can
// hold it locked.
TEST_F(SeveralProcessesTest, ALockFileTakesTheDataFilesBits) {
  std::remove(dir.file("s.bmt.lock").c_str());
  chmod(db().c_str(), 0640);
  { BMTFile opened(db().c_str(), BMTFile::kReadOnly); }
  struct stat st;
  ASSERT_EQ(stat(dir.file("s.bmt.lock").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// A lock file planted as a symbolic link is never followed: a command that
// changes the database puts a lock file of its own in the link's place, and
// the link's target is neither written nor locked.
TEST_F(SeveralProcessesTest, ASymlinkedLockFileIsReplacedNotFollowed) {
  std::remove(dir.file("s.bmt.lock").c_str());
  writeFile(dir.file("victim"), "theirs");
  ASSERT_EQ(symlink("victim", dir.file("s.bmt.lock").c_str()), 0);
  Place p = place("Europe", "Norway", "Oslo", "L", 1, 60.5f, 10.5f);
  EXPECT_EQ(runTool(dir.path(), "a", addArgs(p)), 0) << readFile(dir.file("a.err"));
  EXPECT_EQ(readFile(dir.file("victim")), "theirs");
  struct stat st;
  ASSERT_EQ(lstat(dir.file("s.bmt.lock").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  Contents expected = before;
  expected[key(p)] = p;
  expectContents(expected);
}

}  // namespace
}  // namespace concurrency
