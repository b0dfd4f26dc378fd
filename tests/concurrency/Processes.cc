#include "tests/concurrency/Processes.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "datafile/BMTFile.h"
#include "tests/support/TempDir.h"

namespace concurrency {

Gate::Gate() {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) == 0) {
    read_ = ends[0];
    write_ = ends[1];
  }
}

Gate::~Gate() {
  if (read_ >= 0) close(read_);
  if (write_ >= 0) close(write_);
}

// Each waiter takes one byte; open() writes one for every waiter there can
// be, so that no waiter depends on every write end being closed.
constexpr int kMaxWaiters = 1024;

void Gate::wait() {
  char c;
  while (read(read_, &c, 1) < 0 && errno == EINTR) {
  }
}

void Gate::open() {
  if (write_ < 0) return;
  std::vector<char> bytes(kMaxWaiters, 1);
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(write_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
}

pid_t spawn(const std::function<int()>& body, Gate* start) {
  pid_t pid = fork();
  if (pid == 0) {
    if (start != nullptr) start->wait();
    _exit(body());
  }
  return pid;
}

pid_t spawnTool(const std::string& folder, const std::string& name,
                const std::vector<std::string>& args, Gate* start) {
  std::string tmp = folder + "/tmp";
  mkdir(tmp.c_str(), 0777);
  return spawn(
      [&]() {
        int out =
            ::open((folder + "/" + name + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err =
            ::open((folder + "/" + name + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0 || chdir(folder.c_str()) != 0) return 127;
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        setenv("TMPDIR", tmp.c_str(), 1);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(METDB_TOOL));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(METDB_TOOL, argv.data());
        return 127;
      },
      start);
}

int runTool(const std::string& folder, const std::string& name,
            const std::vector<std::string>& args) {
  return waitFor(spawnTool(folder, name, args));
}

int waitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string pathOf(const Place& p) {
  return lower(p.continent + "/" + p.country + "/" + p.state + "/" + p.name);
}

}  // namespace

bool Place::operator==(const Place& o) const {
  return pathOf(*this) == pathOf(o) && level == o.level && latitude == o.latitude &&
         longitude == o.longitude && aux == o.aux;
}

Place placeOf(const LocationData& r) {
  Place p;
  p.continent = fieldText(r.continent);
  p.country = fieldText(r.country);
  p.state = fieldText(r.state);
  p.name = fieldText(r.name);
  p.level = r.level;
  std::memcpy(&p.latitude, reinterpret_cast<const char*>(&r) + offsetof(LocationData, latitude),
              sizeof p.latitude);
  std::memcpy(&p.longitude, reinterpret_cast<const char*>(&r) + offsetof(LocationData, longitude),
              sizeof p.longitude);
  std::int16_t aux;
  std::memcpy(&aux, reinterpret_cast<const char*>(&r) + offsetof(LocationData, auxValue),
              sizeof aux);
  p.aux = aux;
  return p;
}

std::map<std::string, Place> contentsOf(const std::string& dataFile) {
  std::map<std::string, Place> contents;
  BMTFile db(dataFile.c_str(), BMTFile::kReadOnly);
  EXPECT_TRUE(db.IsValid()) << dataFile;
  Directory* d = db.directory;
  if (d->IsEmpty()) return contents;
  d->first();
  do {
    long index = d->getLocationIndex();
    if (index < 0) continue;
    LocationData record;
    std::memset(static_cast<void*>(&record), 0, sizeof record);
    db.getLocationData(index, record);
    Place place = placeOf(record);
    std::string filed =
        lower(*(*d->continents)[d->continentPos] + "/" + *(*d->curCountries)[d->countryPos] + "/" +
              *(*d->curStates)[d->statePos] + "/" + d->getLocationName());
    EXPECT_EQ(filed, pathOf(place)) << "record " << index << " is misfiled in " << dataFile;
    EXPECT_TRUE(contents.emplace(filed, place).second) << filed << " twice in " << dataFile;
  } while (d->next());
  return contents;
}

void expectConsistent(const std::string& dataFile) {
  std::map<std::string, Place> viaDirectory = contentsOf(dataFile);
  bool compacted = true;
  {
    BMTFile db(dataFile.c_str(), BMTFile::kReadOnly);
    EXPECT_EQ(db.IsDirectoryOutofDate(), 0) << dataFile << ": the directory file is out of date";
    EXPECT_FALSE(db.directory->changed) << dataFile << ": the directory file does not read";
    long records = db.fileLength() / static_cast<long>(sizeof(LocationData));
    compacted = records == static_cast<long>(viaDirectory.size());
    Directory* d = db.directory;
    long position = 0;
    if (compacted && !d->IsEmpty()) {
      d->first();
      do {
        long index = d->getLocationIndex();
        if (index >= 0) compacted = compacted && index == position++;
      } while (d->next());
    }
  }
  std::string folder = dataFile.substr(0, dataFile.rfind('/'));
  EXPECT_EQ(runTool(folder, "consistent", {"--db", dataFile, "check"}), 0)
      << testsupport::readFile(folder + "/consistent.out");
  // Appends and deletions leave records apart from their groups or unused
  // until the next compaction, and a rebuild from the records would bring
  // the deleted ones back. A file of exactly the directory's records in
  // walk order is a compacted one: grouped, and rebuilt into the same
  // directory.
  if (!compacted) return;
  testsupport::TempDir copy;
  std::string rebuilt = copy.file("copy.bmt");
  testsupport::writeFile(rebuilt, testsupport::readFile(dataFile));
  EXPECT_TRUE(viaDirectory == contentsOf(rebuilt)) << dataFile << ": directory and records differ";

  std::string bytes = testsupport::readFile(dataFile);
  std::set<std::string> finished;
  std::string group;
  for (std::size_t i = 0; i + sizeof(LocationData) <= bytes.size(); i += sizeof(LocationData)) {
    LocationData r;
    std::memcpy(static_cast<void*>(&r), bytes.data() + i, sizeof r);
    Place p = placeOf(r);
    std::string key = lower(p.continent + "/" + p.country + "/" + p.state);
    if (!group.empty() && key != group) {
      finished.insert(group);
      EXPECT_EQ(finished.count(key), 0u) << dataFile << ": group " << key << " is split";
    }
    group = key;
  }
}

std::string stationList(int count, const std::string& prefix) {
  static const char* const kGroups[][3] = {
      {"Europe", "Norway", "Oslo"},   {"Europe", "Norway", "Vestland"},
      {"Europe", "Sweden", "Skane"},  {"Europe", "Sweden", "Uppsala"},
      {"Africa", "Kenya", "Nairobi"}, {"Africa", "Kenya", "Mombasa"},
      {"Africa", "Egypt", "Cairo"},   {"Africa", "Egypt", "Giza"},
      {"Asia", "Japan", "Tokyo"},     {"Asia", "Japan", "Osaka"},
      {"Asia", "India", "Goa"},       {"Asia", "India", "Kerala"}};
  std::string csv = "name,state,country,continent,level,latitude,longitude,auxValue\n";
  for (int i = 0; i < count; ++i) {
    const char* const* g = kGroups[i % 12];
    char row[160];
    std::snprintf(row, sizeof row, "%s%d,%s,%s,%s,%d,%.2f,%.2f,%d\n", prefix.c_str(), i, g[2], g[1],
                  g[0], 1 + i % 3, -60.0 + (i * 7) % 120, -170.0 + (i * 13) % 340, i % 1000);
    csv += row;
  }
  return csv;
}

}  // namespace concurrency
