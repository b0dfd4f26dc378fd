// A power cut at every step of the writing commands: the database that opens
// afterwards is the old one or the new one, never a mix, and `check` finds
// no fault in it; once a command has reported success, its change survives
// whatever was not yet written out. And a failing disk at every write and
// sync: the command reports the cause and leaves the old database, or
// succeeds with the new one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "datafile/BMTFile.h"
#include "datafile/StationFile.h"
#include "directory/Directory.h"
#include "tests/cli/ToolRun.h"
#include "tests/support/PowerCutEnv.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::DiskImage;
using testsupport::imageOf;
using testsupport::PowerCutEnv;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;
using tooltest::Outcome;
using tooltest::runInProcess;

// The database of folder/db.bmt as a reader finds it: one line per location
// (its record's bytes and its station information), sorted, so that equal
// contents compare equal however the data file is ordered; "none" when it
// does not open.
std::vector<std::string> contentsOf(const std::string& folder) {
  std::string dataFile = folder + "/db.bmt";
  BMTFile db(dataFile.c_str(), BMTFile::kReadOnly);
  if (!db.IsValid()) return {"none"};
  std::vector<std::string> lines;
  StationFile stations(db);
  stations.match();
  Directory* d = db.directory;
  if (!d->IsEmpty()) {
    d->first();
    do {
      long index = d->getLocationIndex();
      if (index < 0) continue;
      LocationData r;
      std::memset(static_cast<void*>(&r), 0, sizeof r);
      db.getLocationData(index, r);
      std::ostringstream line;
      line << std::string(reinterpret_cast<const char*>(&r), sizeof r);
      if (const StationInfo* info = stations.find(index)) {
        for (const std::string& id : info->ids) line << '\t' << id;
        line << '\t' << info->elevation << '\t' << info->timeZone << '\t' << info->source;
      }
      lines.push_back(line.str());
    } while (d->next());
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

struct Command {
  const char* name;
  std::function<void(const std::string& folder)> prepare;
  std::vector<std::string> args;  // after --db FOLDER/db.bmt; "@" stands for FOLDER
  std::string output = "";        // a file in FOLDER that the command replaces, if any
};

// What a command may change in folder: the database as contentsOf reads
// it, and the bytes of its output file ("-" for none).
std::vector<std::string> stateOf(const std::string& folder, const Command& command) {
  std::vector<std::string> state = contentsOf(folder);
  if (!command.output.empty()) {
    std::string path = folder + "/" + command.output;
    state.push_back(std::filesystem::exists(path) ? "output " + readFile(path) : "output -");
  }
  return state;
}

// The command's arguments for the database in folder.
std::vector<std::string> argumentsIn(const std::string& folder, const Command& command) {
  std::vector<std::string> args = {"--db", folder + "/db.bmt"};
  for (const std::string& a : command.args) {
    args.push_back(a[0] == '@' ? folder + a.substr(1) : a);
  }
  return args;
}

const char kMore[] =
    "name,state,country,continent,level,latitude,longitude\n"
    "Tromso,Troms,Norway,Europe,2,69.65,18.96\n"
    "Bergen,Vestland,Norway,Europe,2,60.3913,5.3221\n"
    "Dakar,Dakar,Senegal,Africa,1,14.69,-17.44\n";

void created(const std::string& folder) {
  writeFile(folder + "/s.csv", tooltest::kSample);
  Outcome o = runInProcess({"--db", folder + "/db.bmt", "create", folder + "/s.csv"});
  ASSERT_EQ(o.status, 0) << o.err;
  o = runInProcess({"--db", folder + "/db.bmt", "set", "Europe/Norway/Oslo/Oslo", "--add-id",
                    "wmo:01492", "--elevation", "94"});
  ASSERT_EQ(o.status, 0) << o.err;
}

std::vector<Command> commands() {
  return {
      {"create",
       [](const std::string& f) { writeFile(f + "/s.csv", tooltest::kSample); },
       {"create", "@/s.csv"}},
      {"create --force",
       [](const std::string& f) {
         created(f);
         writeFile(f + "/t.csv", kMore);
       },
       {"create", "--force", "@/t.csv"}},
      {"compact",
       [](const std::string& f) {
         created(f);
         // A host's deletion leaves the record behind, for compact to drop.
         BMTFile db((f + "/db.bmt").c_str());
         db.directory->first();
         db.directory->deleteEntry();
       },
       {"compact"}},
      {"import",
       [](const std::string& f) {
         created(f);
         writeFile(f + "/more.csv", kMore);
       },
       {"import", "@/more.csv", "--replace"}},
      {"add",
       created,
       {"add", "--name", "Tromso", "--state", "Troms", "--country", "Norway", "--continent",
        "Europe", "--level", "2", "--latitude", "69.65", "--longitude", "18.96", "--add-id",
        "wmo:01026", "--elevation", "10"}},
      {"set",
       created,
       {"set", "Europe/Norway/Oslo/Oslo", "--latitude", "59.95", "--add-id", "icao:ENGM"}},
      {"set (many)", created, {"set", "--country", "Norway", "--set", "level=4"}},
      {"delete", created, {"delete", "Europe/Norway/Oslo/Oslo"}},
      {"selection new",
       [](const std::string& f) {
         created(f);
         writeFile(f + "/s.sel", "old selection\n");
       },
       {"selection", "new", "@/s.sel", "--force", "--country", "Norway"},
       "s.sel"},
      {"export --output",
       [](const std::string& f) {
         created(f);
         writeFile(f + "/out.csv", "old export\n");
       },
       {"export", "--output", "@/out.csv"},
       "out.csv"},
  };
}

// Whether the only faults check reports are entries of the station file
// that fit other records than their own, or no record: the new station file
// beside the old data file, whose entries of new records every reader
// passes over and whose others it matches to their records (the next
// change rewrites it).
bool onlyStationEntriesAstray(const std::string& report) {
  std::istringstream lines(report);
  std::string line;
  int faults = 0;
  int astray = 0;
  while (std::getline(lines, line)) {
    if (line.compare(0, 5, "FAULT") != 0) continue;
    ++faults;
    if (line.find("entr") != std::string::npos &&
        line.find("of the station file") != std::string::npos &&
        (line.find("changed without it") != std::string::npos ||
         line.find("no record of the data file") != std::string::npos)) {
      ++astray;
    }
  }
  return faults > 0 && faults == astray;
}

// How a sweep went.
struct Sweep {
  long cuts = 0;
  long images = 0;  // what the cuts may leave
  long states = 0;  // the distinct states of the database's files among them
  long astray = 0;  // states whose station file has entries of the other data file
  std::vector<std::string> faults;
};

// Runs command once on the simulated disk, then judges what every cut
// after every step (or every stride-th one, and the last) may leave.
void sweep(const Command& command, long stride, Sweep* result) {
  TempDir dir;
  std::string work = dir.file("work");
  std::filesystem::create_directories(work + "/tmp");
  command.prepare(work);
  std::vector<std::string> before = stateOf(work, command);
  DiskImage initial = imageOf(work);

  auto journal = std::make_unique<PowerCutEnv>(work);
  Outcome o = runInProcess(argumentsIn(work, command));
  journal->detach();
  ASSERT_EQ(o.status, 0) << command.name << ": " << o.err;
  std::vector<std::string> after = stateOf(work, command);
  ASSERT_NE(imageOf(work), initial) << command.name << " changed nothing";

  long steps = journal->steps();
  std::set<DiskImage> judged[2];  // before the last step, and after it
  long n = 0;
  for (long step = 0; step <= steps; ++step) {
    if (step % stride != 0 && step != steps) continue;
    ++result->cuts;
    for (const DiskImage& image : journal->survivorsAt(step)) {
      // Each state of the database's own files is judged once: the rest
      // (temporary and scratch files) changes nothing that opens.
      ++result->images;
      DiskImage own;
      for (const auto& [name, file] : image) {
        if (name.compare(0, 3, "db.") == 0 || name == command.output) own[name] = file;
      }
      bool last = step == steps;
      if (!judged[last].insert(own).second) continue;
      ++result->states;
      std::string folder = dir.file("cut" + std::to_string(n++));
      std::filesystem::create_directories(folder);
      testsupport::materialise(image, folder);
      std::vector<std::string> found = stateOf(folder, command);
      std::string at = std::string(command.name) + ", cut after step " + std::to_string(step) +
                       " of " + std::to_string(steps) +
                       (step > 0 ? " (" + journal->describe(step - 1) + ")" : "");
      bool old = found == before || (before == std::vector<std::string>{"none"} && found.empty());
      bool opens = found.empty() || found[0] != "none";
      if (step == steps && found != after) {
        result->faults.push_back(at + ": the change reported done is lost");
      } else if (found != after && !old) {
        std::string files;
        for (const auto& [name, file] : image) {
          files += " " + name + ":" + std::to_string(file.bytes.size()) + "@" +
                   std::to_string(file.modifiedNs);
        }
        result->faults.push_back(at + ": neither the old database nor the new one (" +
                                 std::to_string(found.size()) + " locations;" + files + ")");
      } else if (opens) {
        Outcome check = runInProcess({"--db", folder + "/db.bmt", "check"});
        if (check.status != 0 && !(step < steps && onlyStationEntriesAstray(check.out))) {
          result->faults.push_back(at + ": check fails:\n" + check.out);
        } else if (check.status != 0) {
          ++result->astray;
        }
      }
      std::filesystem::remove_all(folder);
    }
  }
}

// Every step of the commands that replace the data file, the directory
// file and the station file together, or a file beside them.
TEST(PowerCutTest, EveryCutLeavesTheOldOrTheNewDatabase) {
  auto start = std::chrono::steady_clock::now();
  Sweep total;
  for (const Command& command : commands()) sweep(command, 1, &total);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf(
      "power cuts: %ld cut points, %ld surviving images, %ld distinct database states judged "
      "(%ld with station entries astray), %.1f s\n",
      total.cuts, total.images, total.states, total.astray, seconds);
  for (const std::string& fault : total.faults) ADD_FAILURE() << fault;
}

}  // namespace

namespace {

const char* faultName(PowerCutEnv::Fault fault) {
  return fault == PowerCutEnv::kEIO      ? "EIO"
         : fault == PowerCutEnv::kENOSPC ? "ENOSPC"
                                         : "a short write";
}

// How the fault sweep went.
struct Failures {
  long runs = 0;
  long reported = 0;  // runs that failed with the cause named
  std::vector<std::string> faults;
};

// Runs command with each fault injected at each write, sync and folder
// sync it makes, each time on a fresh copy of the same database.
void injectFailures(const Command& command, Failures* result) {
  TempDir dir;
  std::string base = dir.file("base");
  std::filesystem::create_directories(base);
  command.prepare(base);
  DiskImage image = imageOf(base);
  std::vector<std::string> before = stateOf(base, command);
  bool none = before == std::vector<std::string>{"none"};

  auto fresh = [&](const std::string& name) {
    std::string folder = dir.file(name);
    std::filesystem::create_directories(folder + "/tmp");
    testsupport::materialise(image, folder);
    return folder;
  };
  std::string clean = fresh("clean");
  auto counting = std::make_unique<PowerCutEnv>(clean);
  Outcome o = runInProcess(argumentsIn(clean, command));
  counting->detach();
  ASSERT_EQ(o.status, 0) << command.name << ": " << o.err;
  std::vector<std::string> after = stateOf(clean, command);
  std::vector<std::string> calls = counting->calls();

  for (std::size_t call = 0; call < calls.size(); ++call) {
    for (PowerCutEnv::Fault fault :
         {PowerCutEnv::kEIO, PowerCutEnv::kENOSPC, PowerCutEnv::kShortWrite}) {
      // ENOSPC takes the same ways as EIO once a write has failed.
      if (fault != PowerCutEnv::kEIO && calls[call] != "write") continue;
      ++result->runs;
      std::string folder = fresh("run" + std::to_string(result->runs));
      PowerCutEnv env(folder);
      env.failAt(static_cast<long>(call), fault);
      Outcome run = runInProcess(argumentsIn(folder, command));
      env.detach();
      std::string at = std::string(command.name) + ", " + faultName(fault) + " at call " +
                       std::to_string(call) + " of " + std::to_string(calls.size()) + " (" +
                       calls[call] + ")";
      std::vector<std::string> found = stateOf(folder, command);
      bool old = found == before || (none && found.empty());
      if (env.resynced()) result->faults.push_back(at + ": synced again after a failed sync");
      if (run.status == 0) {
        if (found != after) result->faults.push_back(at + ": reported done, but not made");
      } else {
        ++result->reported;
        std::string cause = std::strerror(fault == PowerCutEnv::kEIO ? EIO : ENOSPC);
        if (fault == PowerCutEnv::kShortWrite) {
          result->faults.push_back(at + ": failed: " + run.err);
        } else if (run.err.find(cause) == std::string::npos) {
          result->faults.push_back(at + ": the message does not name the cause: " + run.err);
        }
        // Past its commit point a command can no longer go back: the new
        // state stays, reported as not known to be durable (or with its
        // directory file to be rebuilt from the new data file).
        bool committed = found == after && (tooltest::contains(run.err, "not survive a power") ||
                                            tooltest::contains(run.err, "flush the folder") ||
                                            tooltest::contains(run.err, "rebuilt from the data"));
        if (!old && !committed) {
          result->faults.push_back(at + ": failed, and the old state is not left: " + run.err);
        }
      }
      if (found.empty() || found[0] != "none") {
        Outcome check = runInProcess({"--db", folder + "/db.bmt", "check"});
        // The station file that a failure left between its two writes
        // (with the replaced data file's entries too) reads right.
        if (check.status != 0 && !onlyStationEntriesAstray(check.out)) {
          result->faults.push_back(at + ": check fails:\n" + check.out);
        }
      }
      std::filesystem::remove_all(folder);
    }
  }
}

}  // namespace

// EIO from every write, sync and folder sync of every writing command, and
// ENOSPC and a short write (which must be completed) at every write: the
// command either succeeds with its whole change, or fails naming the cause
// with the old database left; `check` passes either way, and no file is
// synced again as if its failed sync had kept the data.
TEST(PowerCutTest, EveryInjectedFailureIsReportedAndLeavesTheOldDatabase) {
  auto start = std::chrono::steady_clock::now();
  Failures total;
  for (const Command& command : commands()) injectFailures(command, &total);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("injected failures: %ld runs, %ld reported as failures, %.1f s\n", total.runs,
              total.reported, seconds);
  for (const std::string& fault : total.faults) ADD_FAILURE() << fault;
}

// A failed flush of a host's appended records is final: no later save of
// the directory (nor the one when the database is closed) syncs the data
// file again and indexes records that the disk may have lost.
TEST(PowerCutTest, AFailedFlushOfAppendedRecordsIsNeverRetried) {
  TempDir dir;
  std::string work = dir.file("work");
  std::filesystem::create_directories(work + "/tmp");
  created(work);
  PowerCutEnv env(work);
  {
    BMTFile db((work + "/db.bmt").c_str());
    LocationData record;
    db.getLocationData(0, record);
    ASSERT_GE(db.addLocationData(record), 0);
    env.failAt(static_cast<long>(env.calls().size()), PowerCutEnv::kEIO);
    EXPECT_FALSE(db.storeDirectory());
    EXPECT_EQ(env.calls().back(), "sync");
    EXPECT_FALSE(db.storeDirectory());
  }
  EXPECT_FALSE(env.resynced());
}
