#ifndef METDB_TESTS_FAULTS_FAULTSWEEP_H_
#define METDB_TESTS_FAULTS_FAULTSWEEP_H_

#include <sys/types.h>

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace faults {

// What an operation run in a child process tells its parent (its exit
// status).
enum Report {
  kDone = 0,        // the operation says it did its work
  kFailed = 1,      // the operation says it failed, so nothing may have changed
  kUnreported = 3,  // the operation has no result to tell (a destructor's save)
};

// One entry of a folder: a subfolder (name ending in '/') or a file with
// its bytes and modification time (which decides whether a directory file
// is read or rebuilt).
struct Entry {
  std::string bytes;
  long mtime = 0;
};
// A folder's entries by path relative to it, subfolders included.
using Image = std::map<std::string, Entry>;

Image imageOf(const std::string& folder);
// Makes the image's entries in folder (which exists), times included.
void materialise(const Image& image, const std::string& folder);

// A database's records as its directory reaches them: one
// "continent/country/state/name" and record-bytes pair per location, sorted,
// so that equal contents compare equal however the data file is ordered.
// Computed on a copy of image: opening a database may save its directory.
using Contents = std::vector<std::pair<std::string, std::string>>;
Contents contentsOf(const Image& image, const std::string& dataFile);

// An operation that writes, run on a fresh copy of the fixture folder.
struct Operation {
  std::string name;
  // Changes the fixture folder before the run (may be empty).
  std::function<void(const std::string& folder)> prepare;
  // Runs in a child process on the folder's absolute path, and returns a
  // Report, or another value for a contradiction it saw itself.
  std::function<int(const std::string& folder)> run;
  // The database whose contents are compared.
  std::string dataFile = "db.bmt";
};

// Fills an empty folder with the files every operation starts from: the
// database "db.bmt" with its up-to-date directory file, a second database
// "src.bmt" to import, a selection file "old.sel", a station list
// "stations.csv" and the empty subfolder "tmp" (the tool's TMPDIR).
void makeFixture(const std::string& folder);

// Prints an operation by its name (for test parameters).
void PrintTo(const Operation& op, std::ostream* out);

// The operations under test: the library's writers and the tool's commands.
std::vector<Operation> writingOperations();

// How the injected faults of one operation ended.
struct Tally {
  long trials = 0;
  long done = 0;        // reported done and found as it should be after
  long failed = 0;      // reported failed and found as before
  long unreported = 0;  // no result to tell; found before or after
  long killed = 0;      // killed; found before or after
  long leftovers = 0;   // killed runs that left a "TQ_" temporary file
  long wrong = 0;       // anything else: a fault of the library or tool
};

// Injects faults into one operation and judges each run against the files
// of a clean run.
class FaultSweep {
 public:
  // Builds the fixture, and runs op once without faults for the state it
  // should leave.
  explicit FaultSweep(const Operation& op);

  // Each runs op once under a fault and returns "" when the folder ended
  // sound, else what is wrong.
  // Every file may grow to at most limit bytes (RLIMIT_FSIZE, SIGXFSZ
  // ignored): a disk that fills up part way.
  std::string fullDisk(off_t limit);
  // As an unprivileged user in a folder that takes no new file, the
  // existing files writable; the "tmp" subfolder (TMPDIR) takes files
  // unless tmpToo.
  std::string refusedNewFiles(bool tmpToo);
  // Killed (SIGKILL) on entry to its call-th file-changing system call.
  std::string killedAt(long call);

  // Limits for fullDisk: at most budget of them, spread over every byte
  // position up to the largest file written, with the edges of each file's
  // old and new size.
  std::vector<off_t> limits(std::size_t budget) const;
  // File-changing system calls of a clean run (0 when they cannot be
  // traced).
  long calls() const { return calls_; }

  const Tally& tally() const { return tally_; }
  // "name: trials, done, failed, ..." for the closing summary.
  std::string summary(const std::string& fault) const;

 private:
  std::string judge(const Image& now, int report, bool killed);

  Operation op_;
  Image before_;
  Image after_;
  Contents beforeContents_;
  Contents afterContents_;
  long calls_ = 0;
  Tally tally_;
};

// How many trials a sweep may spend: fewer under valgrind, or as the
// environment variable METDB_FAULT_TRIALS says.
std::size_t trialBudget(std::size_t normal);

}  // namespace faults

#endif  // METDB_TESTS_FAULTS_FAULTSWEEP_H_
