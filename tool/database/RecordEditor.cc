#include "tool/database/RecordEditor.h"

#include <cstring>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "datafile/BMTFile.h"
#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/Progress.h"
#include "tool/database/DirectoryStats.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/database/LocationPath.h"
#include "tool/database/ProgressInfo.h"
#include "tool/database/ScratchFolder.h"
#include "tool/record/NameField.h"
#include "tool/record/RecordFaults.h"
#include "tool/text/Text.h"

namespace fs = std::filesystem;

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

}  // namespace

long RecordEditor::add(LocationData* adopted) {
  adoptGroupNames(adopted);
  const LocationData& record = *adopted;
  if (Location* same = findEqual(record, nullptr)) {
    throw Error("The database holds " + recordPath(record) + " with level " +
                std::to_string(record.level) + " at " + text::shortestFloat(record.latitude) + "," +
                text::shortestFloat(record.longitude) + " already (record " +
                std::to_string(same->locationIndex) + "; change it with \"metdb set\").");
  }
  insert(record, false);
  Location* added = findEqual(record, nullptr);
  return added ? added->locationIndex : -1;
}

LocationData RecordEditor::record(long index) {
  if (index >= access_.recordCount() || !moveCursorTo(index)) {
    throw Error("No location refers to record " + std::to_string(index) + " (the database holds " +
                text::plural(access_.recordCount(), "record", "records") + ").");
  }
  LocationData old;
  access_.db()->getLocationData(index, old);
  return old;
}

long RecordEditor::replace(long index, LocationData* adopted) {
  BMTFile* db = access_.db();
  LocationData old = this->record(index);
  adoptGroupNames(adopted);
  LocationData& record = *adopted;
  if (sameKeys(old, record)) {
    db->setLocationData(index, record);
    LocationData check;
    db->getLocationData(index, check);
    if (std::memcmp(&check, &record, sizeof record) != 0) {
      throw Error("Cannot write record " + std::to_string(index) + " of \"" + access_.dataFile() +
                  "\": " + reasonOrUnknown() + ".");
    }
    access_.noteChanged();
    access_.saveDirectory();
    return index;
  }
  Location* current = (*db->directory->curLocations)[db->directory->locationPos];
  if (Location* same = findEqual(record, current)) {
    throw Error("Another location, record " + std::to_string(same->locationIndex) +
                ", has the names, level and position " + recordPath(record) + " " +
                std::to_string(record.level) + " " + text::shortestFloat(record.latitude) + "," +
                text::shortestFloat(record.longitude) + " already; nothing was changed.");
  }
  insert(record, true);
  Location* moved = findEqual(record, nullptr);
  return moved ? moved->locationIndex : -1;
}

namespace {

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
              (breaksDirectory ? "." : " (--force imports it all the same)."));
}

}  // namespace

void RecordEditor::importFrom(const std::string& source, bool replaceEqual, ProgressInfo& info,
                              bool force) {
  std::error_code ec;
  fs::file_status status = fs::status(source, ec);
  if (!fs::is_regular_file(status)) {
    throw Error("\"" + source + "\" is " +
                (fs::exists(status) ? "not a regular file" : "not there") +
                ", so it is no data file to import.");
  }
  if (fs::equivalent(source, access_.dataFile(), ec)) {
    throw Error("\"" + source + "\" is this database's own data file.");
  }
  // Read-only: the source stays as it is, its directory file included.
  BMTFile from(source.c_str(), BMTFile::kReadOnly);
  if (!from.IsValid()) {
    throw Error("\"" + source + "\" cannot be used as a data file: " + Database::libraryReason() +
                "; nothing was imported.");
  }
  checkImportable(from, source, force);
  info.expect(access_.db()->directory->locationCount + from.directory->locationCount);
  merge(from, replaceEqual, info, "the import stopped", "nothing was imported");
}

void RecordEditor::merge(MetDatabase& source, bool replaceEqual, ProgressInfo& info,
                         const char* unexplained, const char* nothingDone) {
  try {
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
                (reason.empty() ? std::string(unexplained) : reason) + "; " + nothingDone + ".");
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

void RecordEditor::insert(const LocationData& record, bool removeCursorLocation) {
  std::error_code ec;
  ScratchFolder scratch(fs::temp_directory_path(ec).string());
  if (!scratch.ok()) {
    throw Error("Cannot prepare the record: " + scratch.error() + "; nothing was changed.");
  }
  BMTFile* db = access_.db();
  std::ostringstream quiet;
  ProgressInfo info(quiet, false, 0);
  {
    BMTFile one(scratch.file("one.bmt").c_str());
    LocationData copy = record;
    long index = one.IsValid() ? one.addLocationData(copy) : -1;
    if (index < 0) {
      throw Error("Cannot prepare the record in \"" + scratch.path() + "\": " + reasonOrUnknown() +
                  "; nothing was changed.");
    }
    LocationData previous;
    one.directory->addOrderedEntry(copy, previous, index);
    if (removeCursorLocation) db->directory->deleteEntry();
    merge(one, false, info, "the new file did not come out as written", "nothing was changed");
  }
}

long RecordEditor::remove(const std::set<long>& indices) {
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
  compact();
  access_.saveDirectory();
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
              "\": " + reasonOrUnknown() + "; nothing was changed.");
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
