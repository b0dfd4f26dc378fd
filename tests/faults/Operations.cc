// The writing operations that the fault tests break, and the folder they
// start from.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "datafile/BMTFile.h"
#include "datafile/InfoDevice.h"
#include "datafile/StationFile.h"
#include "directory/Directory.h"
#include "module/CurrentDatabase.h"
#include "platform/Notify.h"
#include "selection/TLocationIterator.h"
#include "selection/TLocationSelection.h"
#include "tests/faults/FaultSweep.h"
#include "tests/support/Records.h"
#include "tests/support/TempDir.h"

namespace faults {

namespace {

using testsupport::makeRecord;

constexpr long kRecords = 36;  // in db.bmt
constexpr long kFixedTime = 1000000000;

const char* const kContinents[] = {"Africa", "Europe", "Oceania"};

// db.bmt: three continents of two countries of two states of three
// locations, grouped, in walk order.
std::vector<LocationData> dbRecords() {
  std::vector<LocationData> out;
  int n = 0;
  for (const char* continent : kContinents) {
    for (int k = 0; k < 2; ++k) {
      std::string country = std::string(continent).substr(0, 3) + "land" + std::to_string(k);
      for (int s = 0; s < 2; ++s) {
        std::string state = "S" + std::to_string(s);
        for (int l = 0; l < 3; ++l, ++n) {
          out.push_back(makeRecord(continent, country.c_str(), state.c_str(),
                                   ("L" + std::to_string(l)).c_str(), 1 + l, n * 1.25f, n * -2.5f,
                                   n));
        }
      }
    }
  }
  return out;
}

// src.bmt: four records equal to db.bmt's by their keys (other data), and
// eight new ones, among them a new continent.
std::vector<LocationData> srcRecords() {
  std::vector<LocationData> db = dbRecords();
  std::vector<LocationData> out;
  out.push_back(makeRecord("Asia", "Japan", "Kanto", "Tokyo", 1, 35.7f, 139.7f, 500));
  out.push_back(makeRecord("Asia", "Japan", "Kanto", "Yokohama", 2, 35.4f, 139.6f, 501));
  out.push_back(makeRecord("Asia", "Nepal", "Bagmati", "Kathmandu", 1, 27.7f, 85.3f, 502));
  for (int i : {12, 13, 14, 15}) {  // Europe / Eurland0 / S0, S1
    LocationData r = db[static_cast<std::size_t>(i)];
    r.auxValue = static_cast<std::int16_t>(600 + i);
    out.push_back(r);
  }
  for (int i = 0; i < 5; ++i) {
    out.push_back(makeRecord("Europe", "Eurland9", "North", ("N" + std::to_string(i)).c_str(), 1,
                             60.0f + i, 10.0f + i, 700 + i));
  }
  return out;
}

LocationData newRecord() {
  return makeRecord("Europe", "Eurland0", "S1", "Zed", 2, 1.5f, 2.5f, 77);
}

// The whole records' bytes; a database opened on them rebuilds and saves
// its directory file; both get one fixed time, so that the directory file
// counts as up to date.
void makeDatabase(const std::string& dataFile, const std::vector<LocationData>& records) {
  testsupport::writeFile(dataFile, testsupport::bytesOf(records));
  { BMTFile db(dataFile.c_str()); }
  testsupport::setModificationTime(dataFile, kFixedTime);
  testsupport::setModificationTime(MetDatabase::directoryFileName(dataFile), kFixedTime);
}

TLocationSelection* europeSelection(const char* name) {
  TLocationSelection* s = new TLocationSelection();
  std::strncpy(s->name, name, sizeof s->name - 1);
  s->continentList = new TLocList("Europe", true);
  return s;
}

class Reporting : public InfoDevice {
 public:
  void finish() override {}
  void showText(const VELDstring& text, int) override {
    if (text == VELDstring("Importing of data completed.")) completed = true;
    if (text == VELDstring("Importing of data failed.")) failed = true;
  }
  void showLocation(const VELDstring&, const VELDstring&, const VELDstring&,
                    const VELDstring&) override {}
  void showNumber(long, int) override {}
  bool completed = false;
  bool failed = false;
};

long beeps = 0;
void countBeep() { ++beeps; }

// The database of folder with the location at walk position `at` deleted
// from its directory.
void deleteAt(BMTFile& db, int at) {
  db.directory->first();
  for (int i = 0; i < at; ++i) db.directory->next();
  db.directory->deleteEntry();
}

// Runs the built tool in folder on args, as a user would: stdin, stdout and
// stderr on /dev/null, TMPDIR the folder's "tmp". Only returns on failure.
int runTool(const std::string& folder, std::vector<std::string> args) {
  int null = open("/dev/null", O_RDWR);
  if (null < 0 || chdir(folder.c_str()) != 0) return 127;
  dup2(null, 0);
  dup2(null, 1);
  dup2(null, 2);
  setenv("TMPDIR", (folder + "/tmp").c_str(), 1);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(METDB_TOOL));
  for (std::string& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  execv(METDB_TOOL, argv.data());
  return 127;
}

Operation tool(const std::string& name, std::vector<std::string> args,
               const std::string& dataFile = "db.bmt") {
  Operation op;
  op.name = name;
  op.dataFile = dataFile;
  op.run = [args](const std::string& folder) { return runTool(folder, args); };
  return op;
}

}  // namespace

void makeFixture(const std::string& folder) {
  makeDatabase(folder + "/db.bmt", dbRecords());
  {
    // Station information for a few locations, which every operation must
    // keep with their records.
    BMTFile db((folder + "/db.bmt").c_str());
    StationFile stations(db);
    for (long i = 0; i < 4; ++i) {
      StationInfo info;
      info.addId("wmo:0100" + std::to_string(i));
      info.timeZone = "Europe/Oslo";
      stations.set(i, info);
    }
    stations.save();
  }
  testsupport::setModificationTime(folder + "/db.stn", kFixedTime);
  makeDatabase(folder + "/src.bmt", srcRecords());
  TLocationSelection* s = europeSelection("old");
  s->write((folder + "/old.sel").c_str());
  delete s;
  testsupport::writeFile(folder + "/stations.csv",
                         "name,state,country,continent,level,latitude,longitude\n"
                         "Oslo,Oslo,Norway,Europe,1,59.91,10.75\n"
                         "Bergen,Vestland,Norway,Europe,2,60.39,5.32\n"
                         "Lund,Skane,Sweden,Europe,2,55.70,13.19\n"
                         "Nairobi,Nairobi,Kenya,Africa,1,-1.29,36.82\n"
                         "Lima,Lima,Peru,South America,1,-12.05,-77.04\n");
  testsupport::setModificationTime(folder + "/old.sel", kFixedTime);
  testsupport::setModificationTime(folder + "/stations.csv", kFixedTime);
  mkdir((folder + "/tmp").c_str(), 0777);
}

std::vector<Operation> writingOperations() {
  std::vector<Operation> ops;
  auto add = [&](const std::string& name, std::function<int(const std::string&)> run) {
    Operation op;
    op.name = name;
    op.run = std::move(run);
    ops.push_back(op);
    return &ops.back();
  };

  add("append", [](const std::string& f) -> int {
    BMTFile db((f + "/db.bmt").c_str());
    LocationData r = newRecord();
    long index = db.addLocationData(r);
    return index == kRecords ? kDone : index == -1 ? kFailed : 9;
  });
  add("rewrite", [](const std::string& f) -> int {
    platform::setBeepHook(countBeep);
    BMTFile db((f + "/db.bmt").c_str());
    LocationData r = newRecord();
    db.setLocationData(5, r);
    return beeps == 0 ? kDone : kFailed;
  });
  add("rewrite-appending", [](const std::string& f) -> int {
    platform::setBeepHook(countBeep);
    BMTFile db((f + "/db.bmt").c_str());
    LocationData r = newRecord();
    db.setLocationData(kRecords, r);
    return beeps == 0 ? kDone : kFailed;
  });
  add("directory-write", [](const std::string& f) -> int {
    BMTFile db((f + "/db.bmt").c_str());
    deleteAt(db, 4);
    bool ok = db.directory->write();
    db.directory->changed = false;  // nothing more to save when closing
    return ok ? kDone : kFailed;
  });
  add("directory-save-on-close", [](const std::string& f) -> int {
    BMTFile* db = new BMTFile((f + "/db.bmt").c_str());
    deleteAt(*db, 7);
    delete db;
    return kUnreported;
  });
  Operation* rebuilt = add("directory-save-after-rebuild", [](const std::string& f) -> int {
    { BMTFile db((f + "/db.bmt").c_str()); }
    return kUnreported;
  });
  rebuilt->prepare = [](const std::string& f) { unlink((f + "/db.dir").c_str()); };
  add("selection-write", [](const std::string& f) -> int {
    TLocationSelection* s = europeSelection("north");
    s->continentList->selectAll = false;
    s->continentList->subList = new TLocList("Eurland1", true);
    s->levelLimit = 2;
    int r = s->write((f + "/old.sel").c_str());
    delete s;
    return r == 1 ? kDone : r == 0 ? kFailed : 9;
  });
  add("selection-write-new", [](const std::string& f) -> int {
    TLocationSelection* s = europeSelection("new");
    int r = s->write((f + "/new.sel").c_str());
    delete s;
    return r == 1 ? kDone : r == 0 ? kFailed : 9;
  });
  add("iterator-index-file", [](const std::string& f) -> int {
    // The index file goes to the current directory, or else to TMPDIR; a
    // run where neither takes it ends in the fatal notice (status 1).
    if (chdir(f.c_str()) != 0) return 9;
    setenv("TMPDIR", (f + "/tmp").c_str(), 1);
    setMetDatabase((f + "/db.bmt").c_str());
    TLocationSelection* s = europeSelection("it");
    int result = kDone;
    {
      TLocationIterator it(s);
      if (it.getNumLocations() != 12) result = 9;
      long seen = 0;
      if (!it.isEmpty()) {
        do {
          if (std::string(it.locData.continent) != "Europe") result = 9;
          ++seen;
        } while (it.next());
      }
      if (seen != 12) result = 9;
    }
    delete s;
    return result;
  });
  add("compaction", [](const std::string& f) -> int {
    BMTFile db((f + "/db.bmt").c_str());
    deleteAt(db, 3);
    deleteAt(db, 20);
    std::vector<long> before = testsupport::walkIndices(db.directory);
    db.remakeDatabase();
    std::vector<long> after = testsupport::walkIndices(db.directory);
    if (after == before) {
      db.directory->changed = false;  // the deletions are dropped with the failure
      return kFailed;
    }
    for (std::size_t i = 0; i < after.size(); ++i) {
      if (after[i] != static_cast<long>(i)) return 9;
    }
    return kDone;
  });
  add("import", [](const std::string& f) -> int {
    BMTFile db((f + "/db.bmt").c_str());
    BMTFile src((f + "/src.bmt").c_str());
    Directory* old = db.directory;
    Reporting info;
    db.merge(src, true, info);
    if (info.completed && !info.failed && db.directory != old) return kDone;
    if (!info.completed && db.directory == old) return kFailed;
    return 9;
  });

  ops.push_back(tool("tool-create", {"--db", "new.bmt", "create", "stations.csv"}, "new.bmt"));
  ops.push_back(tool("tool-create-force", {"--db", "db.bmt", "create", "--force", "stations.csv"}));
  ops.push_back(tool("tool-add", {"--db", "db.bmt", "add", "--name", "Zed", "--state", "S1",
                                  "--country", "Eurland0", "--continent", "Europe", "--latitude",
                                  "1.5", "--longitude", "2.5"}));
  ops.push_back(tool("tool-set", {"--db", "db.bmt", "set", "3", "--level", "4"}));
  ops.push_back(tool("tool-set-selected", {"--db", "db.bmt", "set", "--country", "Eurland0",
                                           "--set", "country=Aaland", "--set", "level=5"}));
  ops.push_back(tool("tool-rename", {"--db", "db.bmt", "rename", "Europe/Eurland1/S0", "S1"}));
  ops.push_back(tool("tool-delete", {"--db", "db.bmt", "delete", "2"}));
  ops.push_back(tool("tool-compact", {"--db", "db.bmt", "compact"}));
  ops.push_back(tool("tool-import", {"--db", "db.bmt", "import", "src.bmt", "--replace"}));
  ops.push_back(tool("tool-selection-new",
                     {"--db", "db.bmt", "selection", "new", "new.sel", "--continent", "Europe"}));
  return ops;
}

}  // namespace faults
