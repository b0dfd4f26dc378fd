#include "tests/support/Records.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "directory/Directory.h"

namespace testsupport {

LocationData makeRecord(const char* continent, const char* country, const char* state,
                        const char* name, int level, float latitude, float longitude, int aux) {
  LocationData d;
  std::memset(static_cast<void*>(&d), 0, sizeof d);
  std::strncpy(d.continent, continent, sizeof d.continent - 1);
  std::strncpy(d.country, country, sizeof d.country - 1);
  std::strncpy(d.state, state, sizeof d.state - 1);
  std::strncpy(d.name, name, sizeof d.name - 1);
  d.level = static_cast<std::int8_t>(level);
  d.latitude = latitude;
  d.longitude = longitude;
  d.auxValue = static_cast<std::int16_t>(aux);
  d.seriesA[0] = static_cast<float>(aux);
  return d;
}

std::string bytesOf(const LocationData& record) {
  return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

std::string bytesOf(const std::vector<LocationData>& records) {
  std::string out;
  for (const LocationData& r : records) out += bytesOf(r);
  return out;
}

std::vector<LocationData> recordsOf(const std::string& bytes) {
  std::vector<LocationData> out(bytes.size() / sizeof(LocationData));
  if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof(LocationData));
  return out;
}

std::vector<long> walkIndices(Directory* directory) {
  std::vector<long> out;
  if (directory->IsEmpty()) return out;
  directory->first();
  do {
    out.push_back(directory->getLocationIndex());
  } while (directory->next());
  return out;
}

std::vector<std::string> walkPaths(Directory* d) {
  std::vector<std::string> out;
  if (d->IsEmpty()) return out;
  d->first();
  do {
    if (d->getLocationIndex() < 0) continue;
    out.push_back(*(*d->continents)[d->continentPos] + "/" + *(*d->curCountries)[d->countryPos] +
                  "/" + *(*d->curStates)[d->statePos] + "/" + d->getLocationName());
  } while (d->next());
  return out;
}

namespace {

int waitFor(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int runWithFileSizeLimit(off_t limit, const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit rl = {static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
    if (setrlimit(RLIMIT_FSIZE, &rl) != 0) _exit(99);
    _exit(body());
  }
  return waitFor(pid);
}

int runUnprivileged(const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(98);
    _exit(body());
  }
  return waitFor(pid);
}

bool setModificationTime(const std::string& path, long seconds) {
  struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

}  // namespace testsupport
