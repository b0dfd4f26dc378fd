// Looking a location up by identifier against opening the database: runs
// `metdb info`, `metdb show ID`, `metdb list --id ID` and `metdb find` as
// fresh processes on synthetic databases whose every location has a
// station file entry (a WMO number, repeating above 10^5 locations, a
// unique GHCN-like ID and an ICAO code), and prints a table of the
// best times. The goal: a look-up within 1.2 times `info`.
//
//   bench_station_lookup --metdb build/cli/metdb [--sizes 100000,1000000] [--repeat 5]
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/SyntheticData.h"
#include "datafile/BMTFile.h"
#include "datafile/StationFile.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

[[noreturn]] void fail(const std::string& why) {
  std::fprintf(stderr, "bench_station_lookup: %s\n", why.c_str());
  std::exit(1);
}

std::string wmoOf(long i) {
  char id[16];
  std::snprintf(id, sizeof id, "wmo:%05ld", i % 100000);
  return id;
}

// A GHCN-Daily-like ID, unique at every size.
std::string ghcnOf(long i) {
  char id[48];
  std::snprintf(id, sizeof id, "ghcn:XX%09ld", i);
  return id;
}

// A database of n records, each with an entry: wmo numbers are unique
// below 10^5 locations and repeat above (as WMO numbers do not), so that
// the looked-up one is found once at 10^5 and ten times at 10^6.
void makeDatabase(const std::string& path, long n) {
  bench::writeGroupedDatabase(path, n);
  BMTFile db(path.c_str());
  if (!db.IsValid()) fail("cannot open " + path);
  StationFile stations(db);
  for (long i = 0; i < n; ++i) {
    StationInfo info;
    info.addId(wmoOf(i));
    info.addId(ghcnOf(i));
    char icao[16];
    std::snprintf(icao, sizeof icao, "icao:K%03ld", i % 1000);
    info.addId(icao);
    info.elevation = static_cast<double>(i % 3000);
    info.timeZone = "Europe/Oslo";
    stations.set(i, info);
  }
  if (!stations.save()) fail("cannot write the station file of " + path);
}

double runMs(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  auto begin = std::chrono::steady_clock::now();
  pid_t pid;
  if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
    fail("cannot run " + argv[0]);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) fail("lost the child");
  auto end = std::chrono::steady_clock::now();
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) fail("failed: " + argv[2] + " " + argv[3]);
  return std::chrono::duration<double, std::milli>(end - begin).count();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<long> sizes = {100000, 1000000};
  int repeat = 5;
  std::string metdb;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--metdb") == 0 && i + 1 < argc) {
      metdb = fs::absolute(argv[++i]).string();
    } else if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
      repeat = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--sizes") == 0 && i + 1 < argc) {
      sizes.clear();
      for (char* p = argv[++i]; *p != '\0';) {
        sizes.push_back(std::strtol(p, &p, 10));
        if (*p == ',') ++p;
      }
    }
  }
  if (metdb.empty()) {
    std::fprintf(stderr, "usage: %s --metdb PATH [--sizes N,N] [--repeat R]\n", argv[0]);
    return 1;
  }
  fs::path folder = fs::temp_directory_path() / ("metdb-bench-lookup-" + std::to_string(getpid()));
  fs::create_directories(folder);
  std::printf("| command | n | best ms | x info |\n|---|---:|---:|---:|\n");
  for (long n : sizes) {
    std::string db = (folder / ("s" + std::to_string(n) + ".bmt")).string();
    makeDatabase(db, n);
    sync();
    std::string id = ghcnOf(n / 2);
    std::string wmo = wmoOf(n / 2);
    std::vector<std::vector<std::string>> commands = {
        {metdb, "--db", db, "info"},
        {metdb, "--db", db, "show", id},
        {metdb, "--db", db, "show", wmo},
        {metdb, "--db", db, "list", "--id", id, "--format", "csv"},
        {metdb, "--db", db, "find", id.substr(5)}};
    std::vector<double> best(commands.size(), NAN);
    for (int r = 0; r <= repeat; ++r) {
      for (std::size_t c = 0; c < commands.size(); ++c) {
        double ms = runMs(commands[c]);
        if (r > 0 && (std::isnan(best[c]) || ms < best[c])) best[c] = ms;
      }
    }
    for (std::size_t c = 0; c < commands.size(); ++c) {
      std::string label = commands[c][3] + (commands[c].size() > 4 ? " " + commands[c][4] : "");
      if (commands[c].size() > 5) label += " " + commands[c][5];
      std::printf("| `%s` | %ld | %.1f | %.2f |\n", label.c_str(), n, best[c], best[c] / best[0]);
    }
    std::printf("station file: %.1f MB for %ld entries\n",
                static_cast<double>(fs::file_size(StationFile::nameFor(db))) / 1e6, n);
    fs::remove(db);
    fs::remove(MetDatabase::directoryFileName(db));
    fs::remove(StationFile::nameFor(db));
  }
  fs::remove_all(folder);
  return 0;
}
