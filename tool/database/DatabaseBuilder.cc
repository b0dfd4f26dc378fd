#include "tool/database/DatabaseBuilder.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "datafile/BMTFile.h"
#include "datafile/StationFile.h"
#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/Progress.h"
#include "tool/database/ScratchFolder.h"
#include "tool/text/Text.h"

namespace metdb {

namespace fs = std::filesystem;

namespace {

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
    std::ofstream out(dataFile, std::ios::binary | std::ios::trunc);
    Progress progress("Writing records", static_cast<long>(rows.size()));
    for (const StationRow& row : rows) {
      checkPoint();
      progress.advance();
      out.write(reinterpret_cast<const char*>(&row.record), sizeof row.record);
    }
    out.flush();
    if (!out) {
      throw Error("Cannot write the new data file in \"" + folder.path() +
                  "\": " + std::strerror(errno) + "; nothing was written.");
    }
  }
  BMTFile db(dataFile.c_str());
  if (!db.IsValid()) {
    throw Error("Cannot read the new data file in \"" + folder.path() +
                "\": " + Database::libraryReason() + "; nothing was written.");
  }
  if (!db.storeDirectory()) {
    throw Error("Cannot write the new directory file in \"" + folder.path() +
                "\": " + Database::libraryReason() + "; nothing was written.");
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
                "\": " + Database::libraryReason() + "; nothing was written.");
  }
  return DirectoryStats::of(db.directory);
}

}  // namespace

void sortIntoHierarchyOrder(std::vector<StationRow>* rows) {
  std::stable_sort(rows->begin(), rows->end(), hierarchyLess);
}

DirectoryStats createDatabase(Database& target, const std::vector<StationRow>& rows, bool force,
                              const std::function<void(const std::string&)>& warn) {
  const std::string& dataFile = target.dataFile();
  std::string directoryFile = target.directoryFile();
  std::error_code ec;
  ScratchFolder folder(fs::path(dataFile).parent_path().string());
  if (!folder.ok()) throw Error(folder.error() + "; nothing was written.");
  DirectoryStats stats = build(folder, rows);

  // The swap runs under the database lock, so that no other process opens
  // the database between the two renames or changes it meanwhile.
  target.lock(MetDatabaseLock::kExclusive);
  if (fs::exists(dataFile, ec) && !force) {
    throw Error("The data file \"" + dataFile +
                "\" was made by another process meanwhile; give --force to replace it "
                "(nothing was written).");
  }
  // The data file goes first, and is newer than the old directory file:
  // should the process end between the two renames, the next opening finds
  // the old directory file out of date and rebuilds it.
  std::string newData = folder.file("new.bmt");
  fs::file_time_type oldDirTime = fs::last_write_time(directoryFile, ec);
  if (!ec && fs::last_write_time(newData, ec) <= oldDirTime) {
    fs::last_write_time(newData, oldDirTime + std::chrono::nanoseconds(1), ec);
  }
  fs::rename(newData, dataFile, ec);
  if (ec) {
    throw Error("Cannot move the new data file to \"" + dataFile + "\": " + ec.message() +
                "; nothing was written.");
  }
  target.noteChanged();
  fs::rename(folder.file("new.dir"), directoryFile, ec);
  if (ec) {
    fs::remove(directoryFile, ec);
    warn("Cannot move the new directory file to \"" + directoryFile + "\": " + ec.message() +
         "; it will be rebuilt when the database is first opened.");
  }
  // The station file follows, as the library's compaction moves it; a
  // replaced database's old one goes, for its entries describe other
  // records.
  std::string stationFile = StationFile::nameFor(dataFile);
  std::string newStations = folder.file("new.stn");
  if (fs::exists(newStations, ec)) {
    fs::rename(newStations, stationFile, ec);
    if (ec) {
      warn("Cannot move the new station file to \"" + stationFile + "\": " + ec.message() +
           "; the identifiers, elevations and time zones of the list were not kept.");
    }
  } else {
    fs::remove(stationFile, ec);
  }
  return stats;
}

}  // namespace metdb
