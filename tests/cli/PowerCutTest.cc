// A power cut at every step of the writing commands: the database that opens
// afterwards is the old one or the new one, never a mix, and `check` finds
// no fault in it; once a command has reported success, its change survives
// whatever was not yet written out.
#include <gtest/gtest.h>

#include <algorithm>
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
};

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
  std::vector<std::string> before = contentsOf(work);
  DiskImage initial = imageOf(work);

  std::vector<std::string> args = {"--db", work + "/db.bmt"};
  for (const std::string& a : command.args) {
    args.push_back(a[0] == '@' ? work + a.substr(1) : a);
  }
  auto journal = std::make_unique<PowerCutEnv>(work);
  Outcome o = runInProcess(args);
  journal->detach();
  ASSERT_EQ(o.status, 0) << command.name << ": " << o.err;
  std::vector<std::string> after = contentsOf(work);
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
        if (name.compare(0, 3, "db.") == 0) own[name] = file;
      }
      bool last = step == steps;
      if (!judged[last].insert(own).second) continue;
      ++result->states;
      std::string folder = dir.file("cut" + std::to_string(n++));
      std::filesystem::create_directories(folder);
      testsupport::materialise(image, folder);
      std::vector<std::string> found = contentsOf(folder);
      std::string at = std::string(command.name) + ", cut after step " + std::to_string(step) +
                       " of " + std::to_string(steps) +
                       (step > 0 ? " (" + journal->describe(step - 1) + ")" : "");
      bool old = found == before || (before == std::vector<std::string>{"none"} && found.empty());
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
      } else if (found != std::vector<std::string>{"none"}) {
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

// Every step of the six commands that replace the data file, the directory
// file and the station file together.
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
