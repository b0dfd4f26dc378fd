#ifndef METDB_TESTS_CONCURRENCY_PROCESSES_H_
#define METDB_TESTS_CONCURRENCY_PROCESSES_H_

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "datafile/LocationData.h"

namespace concurrency {

// A one-way signal between processes: up to 1024 processes wait() until
// another one calls open(). Made before the fork; every side keeps it.
class Gate {
 public:
  Gate();
  ~Gate();
  Gate(const Gate&) = delete;
  Gate& operator=(const Gate&) = delete;

  // Blocks until open() was called (in any process).
  void wait();
  // Lets every waiter through. Call once, in one process.
  void open();

 private:
  int read_ = -1;
  int write_ = -1;
};

// Runs body in a forked child once start (if any) is open; the child's exit
// status is body's result.
pid_t spawn(const std::function<int()>& body, Gate* start = nullptr);

// Runs the built metdb program in folder with args once start (if any) is
// open: stdin /dev/null, TMPDIR folder/tmp, stdout and stderr into
// folder/name.out and folder/name.err.
pid_t spawnTool(const std::string& folder, const std::string& name,
                const std::vector<std::string>& args, Gate* start = nullptr);

// Runs the tool as spawnTool does and waits for it; its exit status.
int runTool(const std::string& folder, const std::string& name,
            const std::vector<std::string>& args);

// Waits for the child; its exit status, or -1 when it did not exit.
int waitFor(pid_t pid);

// One location's record as its path names it, for comparing databases.
struct Place {
  std::string continent, country, state, name;
  int level = 0;
  float latitude = 0, longitude = 0;
  int aux = 0;
  bool operator==(const Place& other) const;
};

// The locations of a database by "continent/country/state/name" (lower
// case), each with the record its directory points at, read from the
// database opened read-only. Fails the test when a record is filed under
// another group than its own names give (a misfiled record) or a path
// comes twice.
std::map<std::string, Place> contentsOf(const std::string& dataFile);

// Fails the test unless the directory file describes the data file: it is
// read as it is (not out of date, readable), every location it indexes has
// a record of its path (contentsOf), and "metdb check" finds no fault.
// When the file holds exactly the directory's records in walk order (as
// after a compaction), moreover a rebuild from the records gives the same contents
// and each group's records stand together in the file.
void expectConsistent(const std::string& dataFile);

// A station list of count stations over three continents, two countries
// each, two states each, named prefix followed by a number.
std::string stationList(int count, const std::string& prefix);

// The place a station list row of stationList gives.
Place placeOf(const LocationData& record);

}  // namespace concurrency

#endif  // METDB_TESTS_CONCURRENCY_PROCESSES_H_
