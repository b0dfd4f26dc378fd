#include "tool/database/RecordEditor.h"

#include <cstring>

#include "datafile/BMTFile.h"
#include "datafile/StationFile.h"
#include "platform/Env.h"
#include "tool/Error.h"
#include "tool/database/Compaction.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/database/LocationPath.h"
#include "tool/database/RecordMatch.h"
#include "tool/places/LocationTimeZone.h"
#include "tool/record/NameField.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

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
                      "\": " + Database::libraryReasonOrUnknown() + ".",
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
                        "\": " + Database::libraryReasonOrUnknown() + "; the record was written.",
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
    throw Error("Cannot append the record to \"" + access_.dataFile() +
                    "\": " + Database::libraryReasonOrUnknown() + "; nothing was changed.",
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
                        "\": " + Database::libraryReasonOrUnknown() + "; nothing was changed.",
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
  Directory* d = access_.db()->directory;
  long removed = d->deleteLocations([&](const Location& l) {
    return l.locationIndex >= 0 && indices.count(l.locationIndex) > 0;
  });
  if (removed == 0) return 0;
  // The records stay in the file until it holds as many records no
  // location refers to as records in use: a deletion then costs the
  // directory's save, and compacting it costs no more than the deletions
  // since the last one left behind.
  long inUse = d->locationCount;
  bool compacting = access_.recordCount() - inUse >= inUse;
  if (compacting) Compaction(access_).compact();
  access_.saveDirectory();
  if (!compacting) access_.noteChanged();
  return removed;
}

}  // namespace metdb
