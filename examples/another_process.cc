// When another process changes the database: staleness, reopening, and
// holding the lock across a read, change and write.
// Usage: another_process [FOLDER]
// The example starts itself again as the other process
// (another_process FOLDER --compact | --try-lock).
#include <metdb/metdb.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "sample_database.h"

namespace {

// Runs this program again with folder and role; its exit status, or -1.
int runOther(const char* self, const std::string& folder, const char* role) {
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    execl(self, self, folder.c_str(), role, static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// The other process: compacts the database, which replaces its data file.
int compact(const std::string& path) {
  BMTFile db(path.c_str());
  if (!db.IsValid()) return 1;
  db.remakeDatabase();
  return *getMetLastError() == '\0' ? 0 : 1;
}

// The other process: tries the lock without waiting; 0 when another process
// holds it.
int tryLock(const std::string& path) {
  MetDatabaseLock lock(path.c_str());
  if (lock.lock(MetDatabaseLock::kExclusive, 0)) return 1;
  return lock.WasBusy() ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ".";
  const std::string path = folder + "/stations.bmt";
  if (argc > 2 && std::strcmp(argv[2], "--compact") == 0) return compact(path);
  if (argc > 2 && std::strcmp(argv[2], "--try-lock") == 0) return tryLock(path);
  if (!makeSampleDatabaseOrSay(path)) return 1;

  auto db = std::make_unique<BMTFile>(path.c_str());
  if (!db->IsValid()) return 1;
  std::printf("stale before: %s\n", db->IsStale() ? "yes" : "no");
  if (runOther("/proc/self/exe", folder, "--compact") != 0) return 1;

  // The other process replaced the data file. This database goes on reading
  // the file its directory indexes, but refuses every write.
  std::printf("stale after the other's compaction: %s\n", db->IsStale() ? "yes" : "no");
  LocationData record = makeRecord("Europe", "Norway", "Vestland", "Voss", 2, 60.63f, 6.42f);
  std::printf("append while stale: %ld\n", db->addLocationData(record));
  std::printf("why: %s\n", *getMetLastError() != '\0' ? "getMetLastError() says" : "nothing");

  // Delete it and open the database again to see the other's work.
  db = std::make_unique<BMTFile>(path.c_str());
  std::printf("reopened, stale: %s\n", db->IsStale() ? "yes" : "no");

  // A read, change and write that no other process may come between: hold
  // the lock exclusively across it. The library's own operations in this
  // process go ahead inside it; other processes wait (or give up).
  {
    MetDatabaseLock lock(path.c_str());
    if (!lock.lock(MetDatabaseLock::kExclusive, MetDatabaseLock::getWaitSeconds())) {
      std::fprintf(stderr, "cannot lock %s: %s\n", path.c_str(), getMetLastError());
      return 1;
    }
    db->directory->first();
    long index = db->directory->getLocationIndex();
    LocationData first;
    db->getLocationData(index, first);
    first.auxValue = static_cast<std::int16_t>(first.auxValue + 1);
    db->setLocationData(index, first);
    std::printf("other process finds the lock busy: %s\n",
                runOther("/proc/self/exe", folder, "--try-lock") == 0 ? "yes" : "no");
  }  // the lock is given back here
  std::printf("after unlocking: %s\n",
              runOther("/proc/self/exe", folder, "--try-lock") == 0 ? "busy" : "free");
  return 0;
}
