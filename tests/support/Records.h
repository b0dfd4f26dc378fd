#ifndef METDB_TESTS_SUPPORT_RECORDS_H_
#define METDB_TESTS_SUPPORT_RECORDS_H_

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "datafile/LocationData.h"

class Directory;

namespace testsupport {

// A record with every byte set (zeros, then the given fields), so that
// byte-for-byte comparisons are meaningful.
LocationData makeRecord(const char* continent, const char* country, const char* state,
                        const char* name, int level = 1, float latitude = 10, float longitude = 20,
                        int aux = 0);

std::string bytesOf(const LocationData& record);
std::string bytesOf(const std::vector<LocationData>& records);
// The records of a data file's bytes (whole records only).
std::vector<LocationData> recordsOf(const std::string& bytes);

// The record indices of a full walk of the directory, gaps as -1.
std::vector<long> walkIndices(Directory* directory);
// "Continent/Country/State/Name" for each location of a full walk.
std::vector<std::string> walkPaths(Directory* directory);

// Runs body in a forked child whose files may not grow past limit bytes
// (SIGXFSZ ignored, so that writes fail instead of killing it). Returns the
// child's exit status, or -1 when it did not exit normally.
int runWithFileSizeLimit(off_t limit, const std::function<int()>& body);

// Runs body in a forked child as an unprivileged user when the test runs as
// root (permission bits bind then), as itself otherwise. Returns its exit
// status, or -1.
int runUnprivileged(const std::function<int()>& body);

// How a traced child ended (see runKilledAtCall).
struct TracedRun {
  int status = -1;      // exit status; -1 when it did not exit normally
  bool killed = false;  // stopped by SIGKILL before its call number killAt
  long calls = 0;       // file-changing system calls it began
};

// Runs body in a forked child traced with ptrace and kills it with SIGKILL on
// entry to its killAt-th file-changing system call (a write, a creating
// open, rename, unlink, truncate, fsync, mkdir, rmdir, chmod), before that
// call takes effect; killAt 0 lets it finish, counting its calls. body may
// exec another program: the calls of that program count from there on.
// status -2 when tracing is not available (a system other than x86-64
// Linux, or ptrace refused).
TracedRun runKilledAtCall(long killAt, const std::function<int()>& body);

// Whether the process runs under valgrind, where forking and tracing cost
// so much that fault sweeps take a sample only.
bool underValgrind();

// Sets a file's modification (and access) time, in seconds since the epoch.
bool setModificationTime(const std::string& path, long seconds);

}  // namespace testsupport

#endif  // METDB_TESTS_SUPPORT_RECORDS_H_
