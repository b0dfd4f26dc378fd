#include "tool/database/DatabaseBuilder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <sstream>
#include <vector>

#include "datafile/BMTFile.h"
#include "datafile/StationFile.h"
#include "platform/DurableReplacement.h"
#include "platform/Env.h"
#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/Progress.h"
#include "tool/database/FileReplacement.h"
#include "tool/database/ScratchFolder.h"
#include "tool/text/InputFile.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// Records written to the new data file at a time.
constexpr std::size_t kBlockRecords = 4096;

// The folder that holds the file name.
std::string folderOf(const std::string& name) {
  std::string::size_type slash = name.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : name.substr(0, slash);
}

// Renames from to to and makes the rename durable (the folder synced);
// false, with the reason in errno, when either step fails.
bool durableRename(platform::Env* env, const std::string& from, const std::string& to) {
  return env->rename(from, to) && env->syncFolder(folderOf(to));
}

bool hierarchyLess(const StationRow& x, const StationRow& y) {
  const LocationData& a = x.record;
  const LocationData& b = y.record;
  if (int c = text::compareIgnoringCase(fieldText(a.continent), fieldText(b.continent)))
    return c < 0;
  if (int c = text::compareIgnoringCase(fieldText(a.country), fieldText(b.country))) return c < 0;
  if (int c = text::compareIgnoringCase(fieldText(a.state), fieldText(b.state))) return c < 0;
  if (int c = text::compareIgnoringCase(fieldText(a.name), fieldText(b.name))) return c < 0;
  if (a.level != b.level) return a.level > b.level;
  float alat = a.latitude, blat = b.latitude, alon = a.longitude, blon = b.longitude;
  if (alat != blat) return alat < blat;
  return alon < blon;
}

// Writes the rows, in their order, into a new database new.bmt with its
// directory file new.dir in folder. The data file is a plain run of
// records, written in one stream here (appending them one by one through
// the library would ask the system about the file for each); opening it
// then builds the directory from the records, in their order.
DirectoryStats build(const ScratchFolder& folder, const std::vector<StationRow>& rows) {
  std::string dataFile = folder.file("new.bmt");
  {
    platform::DurableReplacement out(dataFile);
    bool ok = out.begin();
    Progress progress("Writing records", static_cast<long>(rows.size()));
    std::vector<char> block;
    block.reserve(kBlockRecords * sizeof(LocationData));
    for (std::size_t i = 0; ok && i < rows.size(); ++i) {
      checkPoint();
      progress.advance();
      const char* bytes = reinterpret_cast<const char*>(&rows[i].record);
      block.insert(block.end(), bytes, bytes + sizeof rows[i].record);
      if (block.size() >= kBlockRecords * sizeof(LocationData) || i + 1 == rows.size()) {
        ok = out.append(block.data(), block.size());
        block.clear();
      }
    }
    // Synced here, before the swap: a failed sync ends the work.
    if (!ok || !out.commit()) {
      throw Error("Cannot write the new data file in \"" + folder.path() +
                      "\": " + Database::libraryReason() + "; nothing was written.",
                  Error::Cause::kSystem);
    }
  }
  BMTFile db(dataFile.c_str());
  if (!db.IsValid()) {
    throw Error("Cannot read the new data file in \"" + folder.path() +
                    "\": " + Database::libraryReason() + "; nothing was written.",
                Error::Cause::kSystem);
  }
  if (!db.storeDirectory()) {
    throw Error("Cannot write the new directory file in \"" + folder.path() +
                    "\": " + Database::libraryReason() + "; nothing was written.",
                Error::Cause::kSystem);
  }
  // The station file only when a row has station information: a database
  // without any needs none.
  StationFile stations(db);
  bool any = false;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].station.empty()) continue;
    stations.set(static_cast<long>(i), rows[i].station);
    any = true;
  }
  if (any && !stations.save()) {
    throw Error("Cannot write the new station file in \"" + folder.path() +
                    "\": " + Database::libraryReason() + "; nothing was written.",
                Error::Cause::kSystem);
  }
  return DirectoryStats::of(db.directory);
}

// The bytes of the file at path. Throws Error naming it when it cannot be
// read.
std::string readText(const std::string& path) {
  InputFile in(path);
  std::string text((std::istreambuf_iterator<char>(&in)), std::istreambuf_iterator<char>());
  if (!in.fault().empty()) throw Error(in.fault());
  return text;
}

// Replaces the station file at target, when there is one of the format
// StationFile writes, by the entries of the new one at fresh followed by
// target's own, renumbered from first on (past the new records, so that
// each set names its records by index or fingerprint with either data
// file). False, with target as it was, when there is no such file to join.
// Throws Error when the joined file cannot be written; nothing changed then.
bool writeJoinedStations(const std::string& fresh, const std::string& target, long first) {
  if (platform::Env::current()->kindOf(target) != platform::FileStatus::kRegular) return false;
  std::string old = readText(target);
  std::string header = "metdb stations 1\n";
  if (old.compare(0, header.size(), header) != 0) return false;
  std::string joined = readText(fresh);
  std::istringstream lines(old.substr(header.size()));
  for (std::string line; std::getline(lines, line);) {
    std::size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    joined += std::to_string(first++) + line.substr(tab) + "\n";
  }
  FileReplacement replacement(target);
  replacement.out() << joined;
  replacement.commit();
  return true;
}

}  // namespace

void sortIntoHierarchyOrder(std::vector<StationRow>* rows) {
  std::stable_sort(rows->begin(), rows->end(), hierarchyLess);
}

DirectoryStats createDatabase(Database& target, const std::vector<StationRow>& rows, bool force,
                              const std::function<void(const std::string&)>& warn) {
  const std::string& dataFile = target.dataFile();
  std::string directoryFile = target.directoryFile();
  platform::Env* env = platform::Env::current();
  ScratchFolder folder(folderOf(dataFile));
  if (!folder.ok()) throw Error(folder.error() + "; nothing was written.", Error::Cause::kSystem);
  DirectoryStats stats = build(folder, rows);
  // The last moment to stop with nothing changed: a signal that came while
  // the input ended (its producer killed by the same Ctrl-C) stops the
  // command here, before the truncated list replaces anything.
  checkPoint();

  // The swap runs under the database lock, so that no other process opens
  // the database between the two renames or changes it meanwhile.
  target.lock(MetDatabaseLock::kExclusive);
  if (env->kindOf(dataFile) != platform::FileStatus::kMissing && !force) {
    throw Error("The data file \"" + dataFile +
                "\" was made by another process meanwhile; give --force to replace it "
                "(nothing was written).");
  }
  // The data file goes first, and is newer than the old directory file:
  // should the process end, or the power fail, between the two renames, the
  // next opening finds the old directory file out of date and rebuilds it.
  // Its rename is durable before the directory file's, so that a new
  // directory file never survives beside the old data file.
  // Replacing a database (--force), the new files keep the old ones' modes.
  std::string newData = folder.file("new.bmt");
  int file = env->open(newData, platform::Env::kRead, 0);
  if (file >= 0) {
    env->takePermissions(file, dataFile);
    platform::FileStatus oldDirectory, fresh;
    if (env->statusOf(directoryFile, &oldDirectory, true) && oldDirectory.stamp.exists &&
        env->status(file, &fresh) && fresh.stamp.modifiedNs <= oldDirectory.stamp.modifiedNs) {
      env->setModified(file, oldDirectory.stamp.modifiedNs + 1);
    }
    env->close(file);
  }
  file = env->open(folder.file("new.dir"), platform::Env::kRead, 0);
  if (file >= 0) {
    if (!env->takePermissions(file, directoryFile)) env->takePermissions(file, dataFile);
    env->close(file);
  }
  // The station file goes first, holding the new entries and, for a
  // replaced database, the old ones at indices past the new records: killed
  // before the data file follows, the old records find their entries again
  // by fingerprint (StationFile::match); killed after, the new records have
  // theirs. Once the new pair is in place, the new entries alone follow.
  std::string stationFile = StationFile::nameFor(dataFile);
  std::string newStations = folder.file("new.stn");
  bool movedStations = env->kindOf(newStations) == platform::FileStatus::kRegular;
  bool joined = movedStations &&
                writeJoinedStations(newStations, stationFile, static_cast<long>(rows.size()));
  if (movedStations && !joined) {
    file = env->open(newStations, platform::Env::kRead, 0);
    if (file >= 0) {
      if (!env->takePermissions(file, stationFile)) env->takePermissions(file, dataFile);
      env->close(file);
    }
    if (!durableRename(env, newStations, stationFile)) {
      throw Error("Cannot move the new station file to \"" + stationFile +
                  "\": " + std::strerror(errno) + "; nothing was written.");
    }
  }
  if (!env->rename(newData, dataFile)) {
    throw Error("Cannot move the new data file to \"" + dataFile + "\": " + std::strerror(errno) +
                    "; nothing was written.",
                Error::Cause::kSystem);
  }
  target.noteChanged();
  if (!env->syncFolder(folderOf(dataFile))) {
    // The new data file is in place but may not survive a power cut: the
    // old directory file goes, so that whichever data file survives is read
    // by a directory rebuilt from it.
    std::string reason = std::strerror(errno);
    env->remove(directoryFile);
    throw Error("Cannot make the new data file \"" + dataFile + "\" durable: " + reason +
                    "; it may not survive a power cut.",
                Error::Cause::kSystem);
  }
  if (!durableRename(env, folder.file("new.dir"), directoryFile)) {
    std::string reason = std::strerror(errno);
    env->remove(directoryFile);
    warn("Cannot move the new directory file to \"" + directoryFile + "\": " + reason +
         "; it will be rebuilt when the database is first opened.");
  }
  if (joined && !durableRename(env, newStations, stationFile)) {
    warn("Cannot move the new station file to \"" + stationFile + "\": " + std::strerror(errno) +
         "; it keeps the entries of the replaced database, which \"metdb compact\" drops.");
  }
  // A replaced database's old station file goes, for its entries describe
  // other records.
  if (!movedStations && env->remove(stationFile)) env->syncFolder(folderOf(stationFile));
  return stats;
}

}  // namespace metdb
