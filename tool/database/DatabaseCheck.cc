#include "tool/database/DatabaseCheck.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "platform/Env.h"
#include "tool/CheckPoint.h"
#include "tool/Progress.h"
#include "tool/database/DirectoryStats.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/database/Leftovers.h"
#include "tool/database/StationCheck.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// Collects the findings as the checks below make them.
class Findings {
 public:
  void ok(const std::string& what) { list_.push_back({Finding::kOk, what, {}}); }
  void note(const std::string& what, std::vector<std::string> examples = {}) {
    list_.push_back({Finding::kNote, what, std::move(examples)});
  }
  void fault(const std::string& what, std::vector<std::string> examples = {}) {
    list_.push_back({Finding::kFault, what, std::move(examples)});
  }
  std::vector<Finding> take() { return std::move(list_); }

 private:
  std::vector<Finding> list_;
};

void checkLength(Database& access, Findings& report) {
  std::uintmax_t size = access.dataFileSize();
  long records = access.recordCount();
  long loose = static_cast<long>(size % static_cast<std::uintmax_t>(kLocationDataSize));
  if (loose == 0) {
    report.ok("the data file holds " + text::plural(records, "whole record", "whole records"));
  } else {
    report.fault("the data file holds " + text::plural(records, "whole record", "whole records") +
                 " and " + text::plural(loose, "byte", "bytes") + " more, which are no record");
  }
}

void checkDirectoryFile(Database& access, Findings& report) {
  switch (access.directoryState()) {
    case DirectoryFileState::kFresh:
      report.ok("the directory file reads and is up to date");
      break;
    case DirectoryFileState::kDamaged:
      report.fault("the directory file " + access.directoryFile() +
                   " does not read; the directory is rebuilt from the records on every opening");
      break;
    case DirectoryFileState::kOutOfDate:
      report.note(
          "the directory file is older than the data file; the directory was rebuilt "
          "from the records (the next change saves it)");
      break;
    case DirectoryFileState::kMissing:
    case DirectoryFileState::kEmpty:
      report.note(std::string("the directory file is ") + describe(access.directoryState()) +
                  "; the directory was rebuilt from the records");
      break;
  }
}

// The directory file keeps coordinates to two decimals, so a directory read
// from it agrees with a record when both round alike.
bool samePosition(float directory, float record) {
  return std::memcmp(&directory, &record, sizeof directory) == 0 ||
         text::fixedFloat(directory, 2) == text::fixedFloat(record, 2);
}

// What differs between a location (in its groups) and its record, or "".
std::string disagreement(const std::string& continent, const std::string& country,
                         const std::string& state, const Location& loc, const LocationData& r) {
  std::string out;
  auto differs = [&](const char* what, const std::string& dir, const std::string& rec) {
    if (!text::equalIgnoringCase(dir, rec)) {
      out += std::string(out.empty() ? "" : "; ") + what + " " + text::quoted(dir) +
             " in the directory, " + text::quoted(rec) + " in the record";
    }
  };
  differs("name", loc, fieldText(r.name));
  differs("state", state, fieldText(r.state));
  differs("country", country, fieldText(r.country));
  differs("continent", continent, fieldText(r.continent));
  if (loc.level != r.level) {
    out += std::string(out.empty() ? "" : "; ") + "level " + std::to_string(loc.level) +
           " in the directory, " + std::to_string(r.level) + " in the record";
  }
  if (!samePosition(loc.latitude, r.latitude) || !samePosition(loc.longitude, r.longitude)) {
    out += std::string(out.empty() ? "" : "; ") + "position " + text::shortestFloat(loc.latitude) +
           "," + text::shortestFloat(loc.longitude) + " in the directory, " +
           text::shortestFloat(r.latitude) + "," + text::shortestFloat(r.longitude) +
           " in the record";
  }
  return out;
}

std::string outsideReference(const std::string& path, long index) {
  return path + " refers to record " + std::to_string(index);
}

void checkLocations(BMTFile* db, long records, Findings& report) {
  std::vector<bool> referred(static_cast<std::size_t>(records), false);
  std::vector<std::string> outside, twice, differ;
  long locations = 0;
  // Every record is read: through one open data file, not one open per record.
  BMTFile::BulkRead reading(*db);
  Progress progress("Checking locations against records", db->directory->locationCount);
  forEachLocation(db->directory, [&](Continent* c, Country* k, State* st, Location* loc) {
    checkPoint();
    progress.advance();
    ++locations;
    std::string path = *c + "/" + *k + "/" + *st + "/" + *loc;
    long index = loc->locationIndex;
    if (index < 0 || index >= records) {
      outside.push_back(outsideReference(path, index));
      return;
    }
    if (referred[index]) {
      twice.push_back(path + " refers to record " + std::to_string(index));
    }
    referred[index] = true;
    LocationData record;
    db->getLocationData(index, record);
    std::string d = disagreement(*c, *k, *st, *loc, record);
    if (!d.empty()) differ.push_back(path + " (record " + std::to_string(index) + "): " + d);
  });
  if (outside.empty() && twice.empty() && differ.empty()) {
    report.ok("all " + text::plural(locations, "location agrees", "locations agree") +
              " with their records");
  }
  if (!outside.empty()) {
    report.fault(
        text::plural(static_cast<long>(outside.size()), "location refers", "locations refer") +
            " to a record that the data file does not hold",
        outside);
  }
  if (!twice.empty()) {
    report.fault(
        text::plural(static_cast<long>(twice.size()), "location refers", "locations refer") +
            " to a record that another location refers to as well",
        twice);
  }
  if (!differ.empty()) {
    report.fault(
        text::plural(static_cast<long>(differ.size()), "location disagrees with its record",
                     "locations disagree with their records") +
            " (coordinates compared to two decimals, as the directory file keeps "
            "them)",
        differ);
  }
  std::vector<std::string> unreferred;
  for (long i = 0; i < records; ++i) {
    if (!referred[i]) unreferred.push_back("record " + std::to_string(i));
  }
  if (unreferred.empty()) {
    report.ok("every record is referred to by a location");
  } else {
    // What deleting a location leaves behind until the next compaction.
    report.note(text::plural(static_cast<long>(unreferred.size()), "record is", "records are") +
                    " referred to by no location: records of deleted locations, which "
                    "\"metdb compact\" drops",
                unreferred);
  }
}

void checkGroups(BMTFile* db, long records, Findings& report) {
  DirectoryStats stats = DirectoryStats::of(db->directory);
  if (stats.duplicateGroups.empty()) {
    report.ok("no group occurs twice in the directory");
  } else {
    // A directory rebuilt from a data file with appended records holds
    // their groups again where the records stand.
    report.note(text::plural(static_cast<long>(stats.duplicateGroups.size()), "group occurs",
                             "groups occur") +
                    " more than once in the directory, as records appended after their group "
                    "make it; \"metdb compact\" regroups them",
                stats.duplicateGroups);
  }

  // In the data file each continent, country and state must form one run of
  // records, or the next rebuild of the directory splits it. A group is
  // finished when the run of records moves on to another one; a record of a
  // finished group stands apart.
  std::set<std::string> finished;
  std::string continent, country, state;  // keys of the current groups
  std::vector<std::string> apart;
  BMTFile::BulkRead reading(*db);
  Progress progress("Checking that groups stay together", records);
  for (long i = 0; i < records; ++i) {
    checkPoint();
    progress.advance();
    LocationData r;
    db->getLocationData(i, r);
    // Keys hold the names above them, separated by a byte no name holds,
    // after a letter for the level.
    std::string c = "C" + text::foldCase(fieldText(r.continent));
    std::string k = "K" + c + '\n' + text::foldCase(fieldText(r.country));
    std::string s = "S" + k + '\n' + text::foldCase(fieldText(r.state));
    bool moved = i == 0 || s != state;
    if (i > 0 && s != state) finished.insert(state);
    if (i > 0 && k != country) finished.insert(country);
    if (i > 0 && c != continent) finished.insert(continent);
    if (moved && (finished.count(s) || finished.count(k) || finished.count(c))) {
      apart.push_back("record " + std::to_string(i) + " (" + fieldText(r.continent) + "/" +
                      fieldText(r.country) + "/" + fieldText(r.state) + ")");
    }
    continent = c;
    country = k;
    state = s;
  }
  if (apart.empty()) {
    report.ok("the data file keeps every group together");
  } else {
    // Appending a record puts it at the end of the file, wherever its group
    // is: the file is regrouped by the next compaction.
    report.note(text::plural(static_cast<long>(apart.size()), "run of records stands",
                             "runs of records stand") +
                    " apart from the rest of their group in the data file, from the record "
                    "shown, as appended records do; \"metdb compact\" regroups them",
                apart);
  }
}

}  // namespace

std::vector<Finding> checkDatabase(Database& access) {
  Findings findings;
  long records = access.recordCount();
  checkLength(access, findings);
  checkDirectoryFile(access, findings);
  checkLocations(access.db(), records, findings);
  checkGroups(access.db(), records, findings);
  std::vector<Finding> all = findings.take();
  for (Finding& f : checkStationFile(access)) all.push_back(std::move(f));
  std::vector<std::string> leftovers = findLeftovers(access.dataFile());
  if (!leftovers.empty()) {
    all.push_back(
        {Finding::kNote,
         text::plural(static_cast<long>(leftovers.size()), "temporary file", "temporary files") +
             " beside the data file that a killed writer left; the next change "
             "removes them once they are a minute old",
         leftovers});
  }
  std::string::size_type slash = access.dataFile().rfind('/');
  std::string dataFolder = slash == std::string::npos ? ""
                           : slash == 0               ? "/"
                                                      : access.dataFile().substr(0, slash);
  std::vector<std::string> scratch = findScratchLeftovers(dataFolder);
  std::size_t beside = scratch.size();
  for (std::string& path : findScratchLeftovers(platform::Env::current()->tempFolder())) {
    if (std::find(scratch.begin(), scratch.end(), path) == scratch.end()) {
      scratch.push_back(std::move(path));
    }
  }
  if (!scratch.empty()) {
    all.push_back({Finding::kNote,
                   text::plural(static_cast<long>(scratch.size()), "work folder", "work folders") +
                       " that a killed command left" +
                       (beside > 0 ? "; the next change removes those beside the data file once "
                                     "they are a minute old"
                                   : ""),
                   scratch});
  }
  return all;
}

std::vector<std::string> locationsOutsideRecords(Directory* directory, long records) {
  std::vector<std::string> outside;
  forEachLocation(directory, [&](Continent* c, Country* k, State* st, Location* loc) {
    long index = loc->locationIndex;
    if (index < 0 || index >= records) {
      outside.push_back(outsideReference(*c + "/" + *k + "/" + *st + "/" + *loc, index));
    }
  });
  return outside;
}

}  // namespace metdb
