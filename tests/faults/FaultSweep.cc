#include "tests/faults/FaultSweep.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>

#include "datafile/BMTFile.h"
#include "datafile/StationFile.h"
#include "directory/Directory.h"
#include "tests/support/Records.h"
#include "tests/support/TempDir.h"

namespace faults {

using testsupport::TempDir;

namespace {

void addEntries(const std::string& root, const std::string& relative, Image* image) {
  std::string here = relative.empty() ? root : root + "/" + relative;
  for (const std::string& name : testsupport::listFolder(here)) {
    std::string path = relative.empty() ? name : relative + "/" + name;
    struct stat st;
    if (lstat((root + "/" + path).c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      (*image)[path + "/"] = Entry();
      addEntries(root, path, image);
    } else {
      Entry& e = (*image)[path];
      e.bytes = testsupport::readFile(root + "/" + path);
      e.mtime = static_cast<long>(st.st_mtime);
    }
  }
}

bool isTemporary(const std::string& path) {
  std::string::size_type slash = path.rfind('/', path.size() - 2);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.compare(0, 3, "TQ_") == 0;
}

// A scratch folder of the tool (".metdb-" and a suffix) or anything in one.
bool isScratch(const std::string& path) {
  return path.compare(0, 7, ".metdb-") == 0 || path.find("/.metdb-") != std::string::npos;
}

std::string describe(const Contents& c) {
  std::ostringstream out;
  out << c.size() << " locations";
  return out.str();
}

// Runs body in a child and returns its exit status (-1: no normal exit).
int runChild(const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

void PrintTo(const Operation& op, std::ostream* out) { *out << op.name; }

Image imageOf(const std::string& folder) {
  Image image;
  addEntries(folder, "", &image);
  return image;
}

void materialise(const Image& image, const std::string& folder) {
  for (const auto& [path, entry] : image) {
    std::string full = folder + "/" + path;
    if (path.back() == '/') {
      mkdir(full.c_str(), 0777);
      continue;
    }
    testsupport::writeFile(full, entry.bytes);
    testsupport::setModificationTime(full, entry.mtime);
  }
}

Contents contentsOf(const Image& image, const std::string& dataFile) {
  Contents contents;
  if (image.count(dataFile) == 0) return {{"(no data file)", ""}};
  TempDir copy;
  materialise(image, copy.path());
  BMTFile db(copy.file(dataFile).c_str());
  if (!db.IsValid()) return {{"(not valid)", ""}};
  // Each location's station information joins its record: the station file
  // must describe the same locations as the data file (matched by
  // fingerprint, as every reader matches it).
  StationFile stations(db);
  if (stations.exists()) stations.match();
  Directory* d = db.directory;
  if (d->IsEmpty()) return contents;
  d->first();
  do {
    long index = d->getLocationIndex();
    if (index < 0) continue;
    LocationData record;
    std::memset(static_cast<void*>(&record), 0xEE, sizeof record);  // stays so when missing
    db.getLocationData(index, record);
    std::string path = *(*d->continents)[d->continentPos] + "/" +
                       *(*d->curCountries)[d->countryPos] + "/" + *(*d->curStates)[d->statePos] +
                       "/" + d->getLocationName();
    std::string station;
    if (const StationInfo* info = stations.find(index)) {
      for (const std::string& id : info->ids) station += " " + id;
      station += " " + info->timeZone;
    }
    contents.emplace_back(path, testsupport::bytesOf(record) + station);
  } while (d->next());
  d->changed = false;
  std::sort(contents.begin(), contents.end());
  return contents;
}

FaultSweep::FaultSweep(const Operation& op) : op_(op) {
  TempDir fixture;
  makeFixture(fixture.path());
  if (op_.prepare) op_.prepare(fixture.path());
  before_ = imageOf(fixture.path());
  beforeContents_ = contentsOf(before_, op_.dataFile);

  TempDir clean;
  materialise(before_, clean.path());
  std::string folder = clean.path();
  int report = runChild([&] { return op_.run(folder); });
  if (report != kDone && report != kUnreported) {
    ADD_FAILURE() << op_.name << ": the clean run reports " << report;
  }
  after_ = imageOf(clean.path());
  afterContents_ = contentsOf(after_, op_.dataFile);

  TempDir traced;
  materialise(before_, traced.path());
  folder = traced.path();
  testsupport::TracedRun run = testsupport::runKilledAtCall(0, [&] { return op_.run(folder); });
  calls_ = run.status == -2 ? 0 : run.calls;
}

std::vector<off_t> FaultSweep::limits(std::size_t budget) const {
  std::set<off_t> edges;
  off_t largest = 0;
  for (const Image* image : {&before_, &after_}) {
    for (const auto& [path, entry] : *image) {
      off_t size = static_cast<off_t>(entry.bytes.size());
      largest = std::max(largest, size);
      for (off_t e : {size - 1, size, size + 1}) {
        if (e >= 0) edges.insert(e);
      }
    }
  }
  std::vector<off_t> out(edges.begin(), edges.end());
  if (out.size() > budget / 2) {
    std::vector<off_t> sample;
    for (std::size_t i = 0; i < budget / 2; ++i)
      sample.push_back(out[i * out.size() / (budget / 2)]);
    out = sample;
  }
  // The rest at an odd stride, so that the limits fall at every offset
  // within a record or a line somewhere in the sweep.
  std::size_t rest = budget - out.size();
  for (std::size_t i = 0; i < rest; ++i) {
    out.push_back(static_cast<off_t>(1 + (static_cast<unsigned long long>(largest) * i) / rest));
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

std::string FaultSweep::fullDisk(off_t limit) {
  TempDir trial;
  materialise(before_, trial.path());
  std::string folder = trial.path();
  int report = testsupport::runWithFileSizeLimit(limit, [&] { return op_.run(folder); });
  std::string verdict = judge(imageOf(folder), report, false);
  return verdict.empty() ? verdict : "limit " + std::to_string(limit) + ": " + verdict;
}

std::string FaultSweep::refusedNewFiles(bool tmpToo) {
  TempDir trial;
  materialise(before_, trial.path());
  std::string folder = trial.path();
  auto permit = [&](mode_t files, mode_t folders) {
    for (const auto& [path, entry] : before_) {
      chmod((folder + "/" + path).c_str(), path.back() == '/' ? folders : files);
    }
  };
  permit(0666, tmpToo ? 0755 : 0777);
  chmod(folder.c_str(), 0755);
  int report = testsupport::runUnprivileged([&] { return op_.run(folder); });
  permit(0666, 0777);
  chmod(folder.c_str(), 0700);
  // Permissions are not part of what is compared.
  return judge(imageOf(folder), report, false);
}

std::string FaultSweep::killedAt(long call) {
  TempDir trial;
  materialise(before_, trial.path());
  std::string folder = trial.path();
  testsupport::TracedRun run = testsupport::runKilledAtCall(call, [&] { return op_.run(folder); });
  std::string verdict = judge(imageOf(folder), run.killed ? -1 : run.status, run.killed);
  return verdict.empty() ? verdict : "call " + std::to_string(call) + ": " + verdict;
}

std::string FaultSweep::judge(const Image& now, int report, bool killed) {
  ++tally_.trials;
  const Image& before_ = this->before_;
  const Image& after_ = this->after_;
  std::ostringstream wrong;
  bool leftover = false;
  for (const auto& [path, entry] : now) {
    if (before_.count(path) || after_.count(path)) continue;
    if (killed && (isTemporary(path) || isScratch(path))) {
      leftover = true;
      continue;
    }
    wrong << "stray " << path << "; ";
  }
  // Every file is as it was or as it is after a clean run; only a
  // directory file may be missing, and then the contents tell.
  std::set<std::string> names;
  for (const Image* image : {&before_, &after_}) {
    for (const auto& [path, entry] : *image) names.insert(path);
  }
  for (const std::string& path : names) {
    if (path.back() == '/') continue;
    auto n = now.find(path), b = before_.find(path), a = after_.find(path);
    bool asBefore =
        b == before_.end() ? n == now.end() : n != now.end() && n->second.bytes == b->second.bytes;
    bool asAfter =
        a == after_.end() ? n == now.end() : n != now.end() && n->second.bytes == a->second.bytes;
    // A directory file may be missing or empty (which every opening takes
    // as missing): after a compaction or import until the new one is
    // saved, or while a first one is being put in place.
    bool missingIndex = (n == now.end() || n->second.bytes.empty()) && path.size() > 4 &&
                        path.compare(path.size() - 4, 4, ".dir") == 0;
    // A station file may be one between the two while a database is
    // replaced (create --force: the new entries with the old ones past
    // them); what it gives the records is judged with the contents below.
    bool stationFile = path.size() > 4 && path.compare(path.size() - 4, 4, ".stn") == 0;
    if (!asBefore && !asAfter && !missingIndex && !stationFile) {
      wrong << path << " is neither old nor new; ";
    }
  }
  Contents contents = contentsOf(now, op_.dataFile);
  bool contentsBefore = contents == beforeContents_;
  bool contentsAfter = contents == afterContents_;
  if (!contentsBefore && !contentsAfter) {
    wrong << "the database holds " << describe(contents) << ", neither the old "
          << describe(beforeContents_) << " nor the new " << describe(afterContents_) << "; ";
  }
  auto data = now.find(op_.dataFile), oldData = before_.find(op_.dataFile),
       newData = after_.find(op_.dataFile);
  auto same = [&](Image::const_iterator x, const Image& image, Image::const_iterator y) {
    bool xThere = x != now.end(), yThere = y != image.end();
    return xThere == yThere && (!xThere || x->second.bytes == y->second.bytes);
  };
  if (!killed) {
    if (report == kDone) {
      if (!contentsAfter || !same(data, after_, newData)) {
        wrong << "reported done, but the database is not as after; ";
      }
    } else if (report == kFailed) {
      bool untouched = contentsBefore && same(data, before_, oldData);
      for (const auto& [path, entry] : before_) {
        auto n = now.find(path);
        if (n == now.end() || n->second.bytes != entry.bytes) untouched = false;
      }
      if (!untouched) wrong << "reported failure, but files changed; ";
    } else if (report != kUnreported) {
      wrong << "the run ended with status " << report << "; ";
    }
  }
  std::string verdict = wrong.str();
  if (!verdict.empty()) {
    ++tally_.wrong;
  } else if (killed) {
    ++tally_.killed;
    if (leftover) ++tally_.leftovers;
  } else if (report == kDone) {
    ++tally_.done;
  } else if (report == kFailed) {
    ++tally_.failed;
  } else {
    ++tally_.unreported;
  }
  return verdict;
}

std::string FaultSweep::summary(const std::string& fault) const {
  std::ostringstream out;
  out << op_.name << " / " << fault << ": " << tally_.trials << " faults injected, " << tally_.done
      << " done, " << tally_.failed << " failed, " << tally_.unreported << " unreported, "
      << tally_.killed << " killed (" << tally_.leftovers << " left a temporary file), "
      << tally_.wrong << " wrong";
  return out.str();
}

std::size_t trialBudget(std::size_t normal) {
  const char* set = std::getenv("METDB_FAULT_TRIALS");
  if (set != nullptr && std::atol(set) > 0) return static_cast<std::size_t>(std::atol(set));
  return testsupport::underValgrind() ? std::max<std::size_t>(2, normal / 20) : normal;
}

}  // namespace faults
