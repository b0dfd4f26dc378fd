#ifndef METDB_TESTS_CLI_TOOLRUN_H_
#define METDB_TESTS_CLI_TOOLRUN_H_

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "datafile/LocationData.h"
#include "tests/support/TempDir.h"

namespace tooltest {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Options of a run of the built program.
struct RunOptions {
  // When > 0, the largest file (in bytes) the program may write
  // (RLIMIT_FSIZE, with SIGXFSZ ignored, so that writes fail as on a full
  // disk).
  long fileSizeLimit = 0;
  // Standard output is a pipe whose reader has already gone, as in
  // `metdb list | head` once head has had enough.
  bool readerGone = false;
  // When not 0, standard output is a pipe that the test reads: once the
  // first output has come through it, the program is sent this signal, and
  // the pipe is then read to its end (Outcome::out holds all of it). The
  // output that came through is the barrier: the program is writing it.
  int signalAfterOutput = 0;
  // Variables set for the program, as NAME=VALUE.
  std::vector<std::string> environment;
};

// Runs the built metdb program in dir with args, as a user would: stdin from
// /dev/null, stdout and stderr captured (in dir/.out and dir/.err), TMPDIR
// set to dir/tmp (created), so that work folders can be checked.
Outcome run(const testsupport::TempDir& dir, const std::vector<std::string>& args,
            const RunOptions& options = {});

// Runs the tool's core in this process.
Outcome runInProcess(const std::vector<std::string>& args);

bool contains(const std::string& text, const std::string& part);

// The entries of dir that a run leaves, without the captured output, the
// (empty) TMPDIR and the databases' lock files, sorted.
std::vector<std::string> userFiles(const testsupport::TempDir& dir);
// The entries of dir/tmp.
std::vector<std::string> tmpFiles(const testsupport::TempDir& dir);

// A record's auxValue, copied out of the packed record (a reference to it
// would be misaligned).
std::int16_t auxValue(const LocationData& record);

// The whole records of a data file.
std::vector<LocationData> readRecords(const std::string& dataFile);

// Fails the test unless the data file keeps every continent, country and
// state in one run of records, and a database opened on it has a directory
// with each group once and as many locations as records, walked in the
// data file's order.
void expectGroupedDatabase(const std::string& dataFile);

// A station list in CSV, header included, of these rows (fields as
// written).
std::string stationList(const std::vector<std::string>& rows);

// A small sample: nine stations in three continents, one state holding two.
extern const char kSample[];

// A fixture with a database made from kSample in a fresh folder; tool()
// runs the tool on it.
class SampleDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::writeFile(dir.file("s.csv"), kSample);
    ASSERT_EQ(run(dir, {"--db", "s.bmt", "create", "s.csv"}).status, 0);
  }
  Outcome tool(std::vector<std::string> args) {
    args.insert(args.begin(), {"--db", "s.bmt"});
    return run(dir, args);
  }
  testsupport::TempDir dir;
};

}  // namespace tooltest

#endif  // METDB_TESTS_CLI_TOOLRUN_H_
