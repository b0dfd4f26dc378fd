#include "tool/database/RecordEditor.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "datafile/BMTFile.h"
#include "datafile/StationFile.h"
#include "platform/Env.h"
#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/Progress.h"
#include "tool/database/DatabaseBuilder.h"
#include "tool/database/DatabaseCheck.h"
#include "tool/database/DirectoryStats.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/database/LocationPath.h"
#include "tool/database/ProgressInfo.h"
#include "tool/database/ScratchFolder.h"
#include "tool/places/LocationTimeZone.h"
#include "tool/record/NameField.h"
#include "tool/record/RecordFaults.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

bool sameFloat(float a, float b) { return a == b || std::memcmp(&a, &b, sizeof a) == 0; }

// A directory read from its file holds coordinates rounded to two decimals,
// so a location is only a candidate until its record is compared.
bool roundsAlike(float a, float b) { return text::fixedFloat(a, 2) == text::fixedFloat(b, 2); }

// Finds the first location equal to a record as findEqual compares them,
// entering only the groups of the record's names.
class EqualFinder : public DirectoryVisitor {
 public:
  EqualFinder(BMTFile* db, const LocationData& r, const Location* except)
      : db_(db),
        r_(r),
        except_(except),
        continent_(fieldText(r.continent)),
        country_(fieldText(r.country)),
        state_(fieldText(r.state)),
        name_(fieldText(r.name)) {}

  bool enterContinent(Continent* c) override { return text::equalIgnoringCase(*c, continent_); }
  bool enterCountry(Continent*, Country* k) override {
    return text::equalIgnoringCase(*k, country_);
  }
  bool enterState(Continent*, Country*, State* s) override {
    return text::equalIgnoringCase(*s, state_);
  }
  bool visitLocation(Continent*, Country*, State*, Location* loc) override {
    if (loc == except_ || !text::equalIgnoringCase(*loc, name_) || loc->level != r_.level ||
        !roundsAlike(loc->latitude, r_.latitude) || !roundsAlike(loc->longitude, r_.longitude)) {
      return true;
    }
    LocationData stored;
    db_->getLocationData(loc->locationIndex, stored);
    if (text::equalIgnoringCase(fieldText(stored.name), name_) && stored.level == r_.level &&
        sameFloat(stored.latitude, r_.latitude) && sameFloat(stored.longitude, r_.longitude)) {
      found = loc;
      return false;
    }
    return true;
  }

  Location* found = nullptr;

 private:
  BMTFile* db_;
  const LocationData& r_;
  const Location* except_;
  std::string continent_, country_, state_, name_;
};

}  // namespace

namespace {

// Whether a and b are the same location for the directory: the same names
// (ignoring case), level and position.
bool sameKeys(const LocationData& a, const LocationData& b) {
  float alat = a.latitude, blat = b.latitude, alon = a.longitude, blon = b.longitude;
  return text::equalIgnoringCase(fieldText(a.continent), fieldText(b.continent)) &&
         text::equalIgnoringCase(fieldText(a.country), fieldText(b.country)) &&
         text::equalIgnoringCase(fieldText(a.state), fieldText(b.state)) &&
         text::equalIgnoringCase(fieldText(a.name), fieldText(b.name)) && a.level == b.level &&
         std::memcmp(&alat, &blat, sizeof alat) == 0 && std::memcmp(&alon, &blon, sizeof alon) == 0;
}

// Enters record, whose record index is index, into the directory in the
// groups of its names, opening those it lacks. The directory's arrays keep
// their order whatever is added, so the walk sees the location in its place;
// only its record lies apart from its group in the file until compaction.
void enterIntoGroup(Directory* d, const LocationData& record, long index) {
  Continent* c = d->getContinent(VELDstring(fieldText(record.continent)));
  Country* k =
      c ? d->getCountry(VELDstring(fieldText(record.country)), c->getCountries()) : nullptr;
  State* s = k ? d->getState(VELDstring(fieldText(record.state)), k->getStates()) : nullptr;
  Continent* lastContinent = d->lastContinent;
  Country* lastCountry = d->lastCountry;
  State* lastState = d->lastState;
  Location* lastLocation = d->lastLocation;
  // The groups found are the open ones, and the previous record has the
  // new one's names, so that addOrderedEntry joins them and opens a group
  // only where none was found.
  d->lastContinent = c;
  d->lastCountry = k;
  d->lastState = s;
  LocationData previous = record;
  d->addOrderedEntry(record, previous, index);
  d->lastContinent = lastContinent;
  d->lastCountry = lastCountry;
  d->lastState = lastState;
  d->lastLocation = lastLocation;
}

// A location that moves, or changes country, takes the time zone of its new
// place where its zone was the one its old place gave (or none): a zone a
// list or a person gave otherwise stays.
void followPosition(const LocationData& old, const LocationData& record, StationInfo* info) {
  if (old.latitude == record.latitude && old.longitude == record.longitude &&
      fieldText(old.country) == fieldText(record.country)) {
    return;
  }
  LocationTimeZone zones;
  if (!info->timeZone.empty() &&
      info->timeZone != zones.of(old.latitude, old.longitude, fieldText(old.country))) {
    return;
  }
  info->timeZone = zones.of(record.latitude, record.longitude, fieldText(record.country));
}

}  // namespace

long RecordEditor::add(LocationData* adopted, const StationInfo& info) {
  adoptGroupNames(adopted);
  const LocationData& record = *adopted;
  if (Location* same = findEqual(record, nullptr)) {
    throw Error("The database holds " + recordPath(record) + " with level " +
                    std::to_string(record.level) + " at " + text::shortestFloat(record.latitude) +
                    "," + text::shortestFloat(record.longitude) + " already (record " +
                    std::to_string(same->locationIndex) + "; change it with \"metdb set\").",
                Error::Cause::kBadInput);
  }
  StationInfo station = info;
  if (station.timeZone.empty()) {
    station.timeZone =
        LocationTimeZone().of(record.latitude, record.longitude, fieldText(record.country));
  }
  return append(record, station, -1);
}

LocationData RecordEditor::record(long index) {
  if (index >= access_.recordCount() || !moveCursorTo(index)) {
    throw Error("No location refers to record " + std::to_string(index) + " (the database holds " +
                    text::plural(access_.recordCount(), "record", "records") + ").",
                Error::Cause::kNotFound);
  }
  LocationData old;
  access_.db()->getLocationData(index, old);
  return old;
}

StationInfo RecordEditor::stationInfo(long index) {
  StationFile stations(*access_.db());
  const StationInfo* info = stations.find(index);
  return info ? *info : StationInfo();
}

long RecordEditor::replace(long index, LocationData* adopted, const StationInfo* info) {
  BMTFile* db = access_.db();
  LocationData old = this->record(index);
  adoptGroupNames(adopted);
  LocationData& record = *adopted;
  StationInfo kept = info ? *info : stationInfo(index);
  followPosition(old, record, &kept);
  if (sameKeys(old, record)) {
    db->setLocationData(index, record);
    LocationData check;
    db->getLocationData(index, check);
    if (std::memcmp(&check, &record, sizeof record) != 0) {
      throw Error("Cannot write record " + std::to_string(index) + " of \"" + access_.dataFile() +
                      "\": " + reasonOrUnknown() + ".",
                  Error::Cause::kSystem);
    }
    access_.noteChanged();
    access_.saveDirectory();
    // Written again whenever the location has an entry: a name whose letter
    // case changed beyond ASCII changes the record's fingerprint.
    StationFile stations(*db);
    if (info != nullptr || stations.find(index) != nullptr || !kept.empty()) {
      stations.set(index, kept);
      if (!stations.save()) {
        throw Error("Cannot write the station file \"" + stations.path() +
                        "\": " + reasonOrUnknown() + "; the record was written.",
                    Error::Cause::kSystem);
      }
    }
    return index;
  }
  Location* current = (*db->directory->curLocations)[db->directory->locationPos];
  if (Location* same = findEqual(record, current)) {
    throw Error("Another location, record " + std::to_string(same->locationIndex) +
                    ", has the names, level and position " + recordPath(record) + " " +
                    std::to_string(record.level) + " " + text::shortestFloat(record.latitude) +
                    "," + text::shortestFloat(record.longitude) + " already; nothing was changed.",
                Error::Cause::kBadInput);
  }
  return append(record, kept, index);
}

namespace {

// Refuses to rewrite a data file of records records whose directory
// (read from directoryFile) names a record the file does not hold: a
// damaged directory file, which the rewrite would turn into an empty
// record at 0,0 or a dropped location.
void refuseStrayLocations(Directory* directory, long records, const std::string& directoryFile,
                          const std::string& dataFile, const char* nothingDone) {
  std::vector<std::string> outside = locationsOutsideRecords(directory, records);
  if (outside.empty()) return;
  std::string more = outside.size() > 1 ? " (and " +
                                              text::plural(static_cast<long>(outside.size()) - 1,
                                                           "other location", "other locations") +
                                              ")"
                                        : "";
  throw Error(
      "The directory file \"" + directoryFile + "\" is damaged: " + outside.front() + more +
          ", which the data file \"" + dataFile + "\" (" +
          text::plural(records, "record", "records") + ") does not hold; " + nothingDone +
          ". Remove the directory file to have it rebuilt from the records (\"metdb check\" "
          "lists what it names).",
      Error::Cause::kDamaged);
}

// Refuses a source whose records no database holds: a text file or other
// bytes read as records. Records whose names hold control bytes are refused
// even when forced, for they would break the directory file.
void checkImportable(BMTFile& from, const std::string& source, bool force) {
  long records = from.fileLength() / static_cast<long>(sizeof(LocationData));
  BMTFile::BulkRead reading(from);
  Progress progress("Checking the records to import", records);
  long faulty = 0;
  long first = -1;
  std::string why;
  bool breaksDirectory = false;
  for (long i = 0; i < records; ++i) {
    checkPoint();
    progress.advance();
    LocationData r;
    from.getLocationData(i, r);
    RecordFault fault = findRecordFault(r);
    if (fault == RecordFault::kNone || (force && fault != RecordFault::kControlByte)) continue;
    breaksDirectory = breaksDirectory || fault == RecordFault::kControlByte;
    if (faulty++ == 0) {
      first = i;
      why = describeRecordFault(r, fault);
    }
  }
  if (faulty == 0) return;
  std::string which = faulty == 1 ? "record " + std::to_string(first) + " of " +
                                        std::to_string(records) + " cannot be real: " + why
                                  : std::to_string(faulty) + " of its " + std::to_string(records) +
                                        " records cannot be real (the first, record " +
                                        std::to_string(first) + ": " + why + ")";
  throw Error("\"" + source + "\" does not look like a data file of locations: " + which +
                  "; nothing was imported" +
                  (breaksDirectory ? "." : " (--force imports it all the same)."),
              Error::Cause::kBadInput);
}

// The names of a record folded as the directory compares them, each level's
// key extending the one above: continent, then country, state and name,
// separated by NUL (which no name holds).
std::string extendKey(const std::string& key, const std::string& name) {
  return key + '\0' + text::foldCase(name);
}

// Whether two records of the same names (ignoring case) are equal as
// findEqual compares them: the same level and position.
bool samePlace(const LocationData& a, const LocationData& b) {
  return a.level == b.level && sameFloat(a.latitude, b.latitude) &&
         sameFloat(a.longitude, b.longitude);
}

// "Europe/Norway/Oslo/Oslo with level 1 at 59.9139,10.7522".
std::string describePlace(const LocationData& r) {
  return recordPath(r) + " with level " + std::to_string(r.level) + " at " +
         text::shortestFloat(r.latitude) + "," + text::shortestFloat(r.longitude);
}

// The order in which an import pairs records (by continent, country, state
// and name ignoring ASCII case, then the lower level, latitude, longitude
// first), so that records added in it keep each group of a directory in
// one piece.
bool importsBefore(const LocationData& a, const LocationData& b) {
  const std::string names[2][4] = {
      {fieldText(a.continent), fieldText(a.country), fieldText(a.state), fieldText(a.name)},
      {fieldText(b.continent), fieldText(b.country), fieldText(b.state), fieldText(b.name)}};
  for (int level = 0; level < 4; ++level) {
    int c = text::compareIgnoringCase(names[0][level], names[1][level]);
    if (c != 0) return c < 0;
  }
  if (a.level != b.level) return a.level < b.level;
  float alat = a.latitude, blat = b.latitude, alon = a.longitude, blon = b.longitude;
  if (alat != blat) return alat < blat;
  return alon < blon;
}

// Looks, in one walk of the directory, for the location of every record
// index replaced, and for locations that stay and equal a new record.
class ReplacementChecker : public DirectoryVisitor {
 public:
  ReplacementChecker(BMTFile* db, const std::vector<RecordEditor::Replacement>& replacements)
      : db_(db), replacements_(replacements), found_(replacements.size(), false) {
    for (std::size_t i = 0; i < replacements.size(); ++i) {
      long index = replacements[i].first;
      if (!byIndex_.emplace(index, i).second) {
        throw Error(
            "Record " + std::to_string(index) + " is to be replaced twice; nothing was changed.",
            Error::Cause::kBadInput);
      }
      const LocationData& r = replacements[i].second;
      std::string state =
          extendKey(extendKey(text::foldCase(fieldText(r.continent)), fieldText(r.country)),
                    fieldText(r.state));
      states_.insert(state);
      std::vector<std::size_t>& same = byNames_[extendKey(state, fieldText(r.name))];
      for (std::size_t j : same) {
        // Two records that were exact duplicates already (kept on purpose,
        // or added by a host) stay as they were: one edit of both does not
        // make them any more alike.
        if (samePlace(replacements[j].second, r) && !alreadyAlike(replacements[j].first, index)) {
          throw Error("Records " + std::to_string(replacements[j].first) + " and " +
                          std::to_string(index) + " would both become " + describePlace(r) +
                          "; nothing was changed.",
                      Error::Cause::kBadInput);
        }
      }
      same.push_back(i);
    }
  }

  // Whether the stored records at indices a and b are exact duplicates:
  // the same names ignoring case, level and position.
  bool alreadyAlike(long a, long b) const {
    LocationData first{}, second{};
    db_->getLocationData(a, first);
    db_->getLocationData(b, second);
    return text::equalIgnoringCase(recordPath(first), recordPath(second)) &&
           samePlace(first, second);
  }

  bool enterContinent(Continent* c) override {
    continent_ = text::foldCase(*c);
    return true;
  }
  bool enterCountry(Continent*, Country* k) override {
    country_ = extendKey(continent_, *k);
    return true;
  }
  bool enterState(Continent*, Country*, State* s) override {
    state_ = extendKey(country_, *s);
    candidateState_ = states_.count(state_) > 0;
    return true;
  }
  bool visitLocation(Continent*, Country*, State*, Location* loc) override {
    checkPoint();
    auto replaced = byIndex_.find(loc->locationIndex);
    if (replaced != byIndex_.end()) {
      found_[replaced->second] = true;
      return true;
    }
    if (!candidateState_) return true;
    auto same = byNames_.find(extendKey(state_, *loc));
    if (same == byNames_.end()) return true;
    // The directory's coordinates may be rounded, so the record decides.
    bool read = false;
    LocationData stored;
    for (std::size_t i : same->second) {
      const LocationData& r = replacements_[i].second;
      if (loc->level != r.level || !roundsAlike(loc->latitude, r.latitude) ||
          !roundsAlike(loc->longitude, r.longitude)) {
        continue;
      }
      if (!read) {
        db_->getLocationData(loc->locationIndex, stored);
        read = true;
      }
      if (text::equalIgnoringCase(fieldText(stored.name), fieldText(r.name)) &&
          samePlace(stored, r)) {
        throw Error("Record " + std::to_string(replacements_[i].first) + " would become " +
                        describePlace(r) + ", which record " + std::to_string(loc->locationIndex) +
                        " is already; nothing was changed.",
                    Error::Cause::kBadInput);
      }
    }
    return true;
  }

  // Throws unless every replaced index had its location.
  void checkAllFound() const {
    for (std::size_t i = 0; i < found_.size(); ++i) {
      if (!found_[i]) {
        throw Error("No location refers to record " + std::to_string(replacements_[i].first) +
                        "; nothing was changed.",
                    Error::Cause::kNotFound);
      }
    }
  }

 private:
  BMTFile* db_;
  const std::vector<RecordEditor::Replacement>& replacements_;
  std::vector<bool> found_;
  std::unordered_map<long, std::size_t> byIndex_;
  std::unordered_set<std::string> states_;
  std::unordered_map<std::string, std::vector<std::size_t>> byNames_;
  std::string continent_, country_, state_;
  bool candidateState_ = false;
};

}  // namespace

void RecordEditor::checkReplacements(const std::vector<Replacement>& replacements) const {
  ReplacementChecker checker(access_.db(), replacements);
  walkDirectory(access_.db()->directory, checker);
  checker.checkAllFound();
}

void RecordEditor::replaceAll(const std::vector<Replacement>& replacements, ProgressInfo& info,
                              const std::map<long, StationInfo>& stations) {
  if (replacements.empty()) return;
  checkReplacements(replacements);
  BMTFile* db = access_.db();
  Directory* original = db->directory;
  // Each new record's station information, by the new record: its
  // location's, or the one given.
  std::map<const LocationData*, StationInfo> infoOf;
  {
    StationFile current(*db);
    for (const Replacement& r : replacements) {
      auto given = stations.find(r.first);
      const StationInfo* had = current.find(r.first);
      if (given != stations.end()) {
        infoOf[&r.second] = given->second;
      } else if (had != nullptr) {
        infoOf[&r.second] = *had;
      }
    }
  }

  // The new records, as a database of their own in import order, which the
  // import then merges with the rest.
  ScratchFolder scratch(platform::Env::current()->tempFolder());
  if (!scratch.ok()) {
    throw Error("Cannot prepare the new records: " + scratch.error() + "; nothing was changed.",
                Error::Cause::kSystem);
  }
  std::vector<const LocationData*> ordered;
  ordered.reserve(replacements.size());
  for (const Replacement& r : replacements) ordered.push_back(&r.second);
  std::stable_sort(
      ordered.begin(), ordered.end(),
      [](const LocationData* a, const LocationData* b) { return importsBefore(*a, *b); });
  BMTFile source(scratch.file("new.bmt").c_str());
  LocationData previous{};
  for (const LocationData* r : ordered) {
    checkPoint();
    LocationData copy = *r;
    long index = source.IsValid() ? source.addLocationData(copy) : -1;
    if (index < 0) {
      throw Error("Cannot prepare the new records in \"" + scratch.path() +
                      "\": " + reasonOrUnknown() + "; nothing was changed.",
                  Error::Cause::kSystem);
    }
    source.directory->addOrderedEntry(copy, previous, index);
  }
  if (!infoOf.empty()) {
    StationFile sourceStations(source);
    for (std::size_t i = 0; i < ordered.size(); ++i) {
      auto it = infoOf.find(ordered[i]);
      if (it != infoOf.end()) sourceStations.set(static_cast<long>(i), it->second);
    }
    if (!sourceStations.save()) {
      throw Error("Cannot prepare the new records in \"" + scratch.path() +
                      "\": " + reasonOrUnknown() + "; nothing was changed.",
                  Error::Cause::kSystem);
    }
  }

  // The directory without the replaced locations, built afresh (deleting
  // them one by one would shift the location list once per location); the
  // import writes only the records of the locations it walks, so the
  // replaced records go.
  std::unordered_set<long> replaced;
  for (const Replacement& r : replacements) replaced.insert(r.first);
  std::unique_ptr<Directory> kept(new Directory(original->fileName.c_str()));
  LocationData entry{};
  LocationData last{};
  forEachLocation(original, [&](Continent* c, Country* k, State* s, Location* l) {
    checkPoint();
    if (replaced.count(l->locationIndex)) return;
    setNameField(entry.continent, *c);
    setNameField(entry.country, *k);
    setNameField(entry.state, *s);
    setNameField(entry.name, *l);
    entry.level = l->level;
    entry.latitude = l->latitude;
    entry.longitude = l->longitude;
    kept->addOrderedEntry(entry, last, l->locationIndex);
  });

  Directory* keptDirectory = kept.release();
  db->directory = keptDirectory;
  try {
    info.expect(keptDirectory->locationCount + source.directory->locationCount);
    merge(source, false, info, "the new file did not come out as written", "nothing was changed");
  } catch (...) {
    if (db->directory == keptDirectory) {
      // The import changed nothing: the database takes its directory back.
      db->directory = original;
      delete keptDirectory;
      access_.discardEdits();
    } else {
      delete original;  // the new data file is in place; its directory was not saved
    }
    throw;
  }
  delete original;
  source.directory->changed = false;  // the scratch folder goes, with the file it would save
  // The import writes the groups in the order it walks them; only a
  // directory that held a group twice (a file split by a host's appends)
  // can leave one split.
  if (!DirectoryStats::of(db->directory).duplicateGroups.empty()) compactAndRegroup();
}

void RecordEditor::importRows(std::vector<StationRow> rows, bool replaceEqual, ProgressInfo& info) {
  ScratchFolder scratch(platform::Env::current()->tempFolder());
  if (!scratch.ok()) {
    throw Error("Cannot prepare the stations: " + scratch.error() + "; nothing was imported.",
                Error::Cause::kSystem);
  }
  sortIntoHierarchyOrder(&rows);
  std::string listFile = scratch.file("list.bmt");
  {
    Database list(listFile, access_.waitSeconds());
    createDatabase(list, rows, false, [](const std::string&) {});
  }
  importFrom(listFile, replaceEqual, info);
}

void RecordEditor::importFrom(const std::string& source, bool replaceEqual, ProgressInfo& info,
                              bool force) {
  platform::Env* env = platform::Env::current();
  platform::FileStatus status, own;
  env->statusOf(source, &status, true);
  if (status.kind != platform::FileStatus::kRegular) {
    throw Error(
        "\"" + source + "\" is " +
        (status.kind != platform::FileStatus::kMissing ? "not a regular file" : "not there") +
        ", so it is no data file to import.");
  }
  if (env->statusOf(access_.dataFile(), &own, true) && own.stamp.exists &&
      status.stamp.sameFile(own.stamp)) {
    throw Error("\"" + source + "\" is this database's own data file.", Error::Cause::kBadInput);
  }
  // Read-only: the source stays as it is, its directory file included.
  BMTFile from(source.c_str(), BMTFile::kReadOnly);
  if (!from.IsValid()) {
    throw Error("\"" + source + "\" cannot be used as a data file: " + Database::libraryReason() +
                    "; nothing was imported.",
                Error::Cause::kBadInput);
  }
  refuseStrayLocations(from.directory, from.fileLength() / static_cast<long>(sizeof(LocationData)),
                       from.directory->fileName, source, "nothing was imported");
  checkImportable(from, source, force);
  info.expect(access_.db()->directory->locationCount + from.directory->locationCount);
  merge(from, replaceEqual, info, "the import stopped", "nothing was imported");
}

void RecordEditor::merge(MetDatabase& source, bool replaceEqual, ProgressInfo& info,
                         const char* unexplained, const char* nothingDone) {
  try {
    refuseStrayLocations(access_.db()->directory, access_.recordCount(), access_.directoryFile(),
                         access_.dataFile(), nothingDone);
    access_.db()->merge(source, replaceEqual, info);
  } catch (...) {
    // A record could not be read (or info stopped the merge): the files are
    // as they were, and so must the directory file stay.
    access_.discardEdits();
    throw;
  }
  if (!info.completed()) {
    access_.discardEdits();
    std::string reason = Database::libraryReason();
    throw Error("Cannot write the new data file beside \"" + access_.dataFile() + "\": " +
                    (reason.empty() ? std::string(unexplained) : reason) + "; " + nothingDone + ".",
                Error::Cause::kSystem);
  }
  access_.noteChanged();
  access_.saveDirectory();
}

bool RecordEditor::moveCursorTo(long index) {
  Directory* d = access_.db()->directory;
  if (d->IsEmpty()) return false;
  d->first();
  do {
    if (d->getLocationIndex() == index) return true;
  } while (d->next());
  return false;
}

Location* RecordEditor::findEqual(const LocationData& r, const Location* except) const {
  EqualFinder finder(access_.db(), r, except);
  walkDirectory(access_.db()->directory, finder);
  return finder.found;
}

void RecordEditor::adoptGroupNames(LocationData* r) const {
  Directory* d = access_.db()->directory;
  Continent* c = d->getContinent(VELDstring(fieldText(r->continent)));
  if (c == nullptr) return;
  setNameField(r->continent, *c);
  Country* k = d->getCountry(VELDstring(fieldText(r->country)), c->getCountries());
  if (k == nullptr) return;
  setNameField(r->country, *k);
  State* s = d->getState(VELDstring(fieldText(r->state)), k->getStates());
  if (s != nullptr) setNameField(r->state, *s);
}

long RecordEditor::append(const LocationData& record, const StationInfo& station, long replaced) {
  refuseBesideUnsavedRecords();
  BMTFile* db = access_.db();
  LocationData copy = record;
  long index = db->appendBeforeSave(copy);
  if (index < 0) {
    throw Error("Cannot append the record to \"" + access_.dataFile() + "\": " + reasonOrUnknown() +
                    "; nothing was changed.",
                Error::Cause::kSystem);
  }
  platform::FileStatus directoryBefore;
  platform::Env::current()->statusOf(access_.directoryFile(), &directoryBefore, true);
  try {
    // The station file goes first, as in a replacement: until the directory
    // file indexes the new record, its entry fits a record no location
    // refers to, which readers pass over. The replaced location's entry
    // stays with its record until the next compaction.
    StationFile stations(*db);
    if (!station.empty() || (replaced >= 0 && stations.find(replaced) != nullptr)) {
      stations.set(index, station);
      if (!stations.save()) {
        throw Error("Cannot write the station file \"" + stations.path() +
                        "\": " + reasonOrUnknown() + "; nothing was changed.",
                    Error::Cause::kSystem);
      }
    }
    Directory* d = db->directory;
    if (replaced >= 0 && moveCursorTo(replaced)) d->deleteEntry();
    enterIntoGroup(d, record, index);
    access_.saveDirectory();
  } catch (const Error&) {
    // The directory file still describes the file without the record,
    // unless the new one was put in place and only the folder's flush
    // failed: the record then stays with the directory file that indexes it.
    platform::FileStatus directoryNow;
    platform::Env::current()->statusOf(access_.directoryFile(), &directoryNow, true);
    if (directoryNow.stamp.sameFile(directoryBefore.stamp)) {
      access_.discardEdits();
      db->dropAppended(index);
    }
    throw;
  }
  access_.noteChanged();
  return index;
}

void RecordEditor::refuseBesideUnsavedRecords() {
  if (!access_.db()->OthersHoldUnsavedRecords()) return;
  throw Error("Another process has appended records to \"" + access_.dataFile() +
                  "\" that it has not saved in the directory yet, and this change would leave "
                  "them out; try again once it has closed the database (nothing was changed).",
              Error::Cause::kBusy);
}

long RecordEditor::remove(const std::set<long>& indices) {
  refuseBesideUnsavedRecords();
  long removed = 0;
  Directory* d = access_.db()->directory;
  if (!d->IsEmpty()) {
    d->first();
    // Every step deletes a location or moves on, so the walk ends; the
    // bound only guards against a cursor that never comes round.
    long steps = 2 * d->locationCount + 16;
    while (steps-- > 0 && !d->IsEmpty()) {
      long index = d->getLocationIndex();
      if (index >= 0 && indices.count(index)) {
        ++removed;
        // True: the last continent went, the cursor is unset. Otherwise it
        // stands on what followed, or on a step with no location.
        if (d->deleteEntry()) break;
        continue;
      }
      if (!d->next()) break;
    }
  }
  if (removed == 0) return 0;
  // The records stay in the file until it holds as many records no
  // location refers to as records in use: a deletion then costs the
  // directory's save, and compacting it costs no more than the deletions
  // since the last one left behind.
  long inUse = d->locationCount;
  bool compacting = access_.recordCount() - inUse >= inUse;
  if (compacting) compact();
  access_.saveDirectory();
  if (!compacting) access_.noteChanged();
  return removed;
}

void RecordEditor::compactAndRegroup() {
  // Each round joins the split groups of one level (continents, then
  // countries, then states), so three rounds after the first always suffice.
  constexpr int kMaxRounds = 4;
  for (int round = 0; round < kMaxRounds; ++round) {
    compact();
    if (DirectoryStats::of(access_.db()->directory).duplicateGroups.empty()) break;
    // The data file now keeps each group's records together, but the
    // directory still splits them: read it afresh from the records.
    access_.reopenRebuilt();
  }
  access_.saveDirectory();
}

void RecordEditor::compact() {
  Progress progress("Compacting the data file", ProgressDisplay::kNoCount);
  try {
    refuseStrayLocations(access_.db()->directory, access_.recordCount(), access_.directoryFile(),
                         access_.dataFile(), "nothing was changed");
    access_.db()->remakeDatabase();
  } catch (...) {
    access_.discardEdits();
    throw;
  }
  // The method returns nothing; the library's reason is empty when it did
  // its work, and then the file must be in walk order.
  if (Database::libraryReason().empty() && isCompact()) {
    access_.noteChanged();
    return;
  }
  access_.discardEdits();
  throw Error("Cannot write the new data file beside \"" + access_.dataFile() +
                  "\": " + reasonOrUnknown() + "; nothing was changed.",
              Error::Cause::kSystem);
}

std::string RecordEditor::reasonOrUnknown() {
  std::string reason = Database::libraryReason();
  return reason.empty() ? "the new file did not come out as written" : reason;
}

bool RecordEditor::isCompact() const {
  Directory* d = access_.db()->directory;
  long position = 0;
  if (!d->IsEmpty()) {
    d->first();
    do {
      long index = d->getLocationIndex();
      if (index < 0) continue;
      if (index != position) return false;
      ++position;
    } while (d->next());
  }
  return access_.dataFileSize() ==
         static_cast<std::uintmax_t>(position) * static_cast<std::uintmax_t>(kLocationDataSize);
}

}  // namespace metdb
