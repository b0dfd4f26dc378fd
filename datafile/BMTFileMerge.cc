// BMTFile::merge: the records of another database imported into this one.
#include <cstring>
#include <memory>

#include "common/WorkingDirectory.h"
#include "datafile/BMTFile.h"
#include "datafile/DataFileReplacement.h"
#include "datafile/DatabaseState.h"
#include "datafile/InfoDevice.h"
#include "datafile/RecordOrder.h"
#include "datafile/StationCarry.h"
#include "datafile/WriteAccess.h"
#include "platform/Failure.h"

namespace {

// Copies text into a name field, cut to the field and terminated.
template <std::size_t N>
void setField(char (&field)[N], const std::string& text) {
  std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

// Gives record the continent, country and state names of the directory's
// cursor, in the letter case the directory holds them.
void takeCursorNames(Directory* d, LocationData& record) {
  setField(record.continent, *(*d->continents)[d->continentPos]);
  setField(record.country, *(*d->curCountries)[d->countryPos]);
  setField(record.state, *(*d->curStates)[d->statePos]);
}

void showNames(InfoDevice& info, const LocationData& r) {
  info.showLocation(VELDstring(fieldText(r.continent)), VELDstring(fieldText(r.country)),
                    VELDstring(fieldText(r.state)), VELDstring(fieldText(r.name)));
}

void reportFailure(InfoDevice& info) {
  info.finish();
  info.showText(VELDstring("Importing of data failed."), -1);
}

// One side of the merge: a database's directory walked location by
// location, skipping steps that have no current location.
struct Side {
  MetDatabase& db;
  bool finished;

  explicit Side(MetDatabase& database) : db(database), finished(database.directory->IsEmpty()) {
    if (!finished) {
      db.directory->first();
      skipGaps();
    }
  }
  long index() const { return db.directory->getLocationIndex(); }
  void advance() {
    finished = !db.directory->next();
    skipGaps();
  }
  void skipGaps() {
    while (!finished && index() < 0) finished = !db.directory->next();
  }
  // A fresh record, every byte zero, first: a location whose record is
  // missing from the data file then never takes over the data of the one
  // before it, nor writes undefined bytes.
  void read(LocationData& record) {
    std::memset(static_cast<void*>(&record), 0, sizeof record);
    db.getLocationData(index(), record);
  }
};

}  // namespace

// Merges the two directory walks into a new data file written in hierarchy
// order, and a new directory filled from the written records. Of two equal
// records (compareLocationData) only one is written: the source's when
// replace is set. The new files are swapped in together once both are
// written; on any failure nothing changes, the temporary files are removed
// and, once reporting has begun, info hears finish() and "Importing of data
// failed." (before a thrown BMTFile*, or what info threw, passes on).
void BMTFile::merge(MetDatabase& source, bool replace, InfoDevice& info) {
  platform::clearFailure();
  if (&source == this) return;
  WorkingDirectory wd(homeDrive, homePath.c_str());
  LockHold hold(databaseLock(*this), SharedLock::kExclusive, SharedLock::waitSeconds());
  if (!checkReplaceable(*this, hold)) return;
  DataFileReplacement replacement(fileName, directory->fileName);
  if (!replacement.begin()) return;

  std::unique_ptr<Directory> fresh(new Directory(replacement.temporaryName().c_str()));
  LocationData target, incoming, previous;
  long total = 0, added = 0, replaced = 0;
  bool ok = true;
  bool reporting = false;
  auto show = [&](const LocationData& record) {
    reporting = true;
    showNames(info, record);
  };

  StationCarry stations;
  int mineStations = stations.add(*this);
  int theirStations = stations.add(source);
  // Writes record, which was record `from` of this database (mine) or of
  // source; of a pair of equal records, also was `alsoFrom` of the other.
  auto write = [&](const LocationData& record, int side, long from, int otherSide, long alsoFrom) {
    long idx = replacement.append(record);
    if (idx < 0) return false;
    fresh->addOrderedEntry(record, previous, idx);
    if (stations.active()) {
      stations.note(side, from, record, idx);
      if (alsoFrom >= 0) stations.note(otherSide, alsoFrom, record, idx);
    }
    return true;
  };

  try {
    BulkRead readingMine(*this);
    BMTFile* other = dynamic_cast<BMTFile*>(&source);
    std::unique_ptr<BulkRead> readingTheirs(other ? new BulkRead(*other) : nullptr);
    Side mine(*this);
    Side theirs(source);
    while (ok && !mine.finished && !theirs.finished) {
      mine.read(target);
      theirs.read(incoming);
      takeCursorNames(source.directory, incoming);
      show(incoming);
      int c = compareLocationData(target, incoming);
      if (c < 0) {
        ok = write(target, mineStations, mine.index(), -1, -1);
        mine.advance();
      } else if (c == 0) {
        if (replace) {
          ok = write(incoming, theirStations, theirs.index(), mineStations, mine.index());
          ++replaced;
        } else {
          ok = write(target, mineStations, mine.index(), theirStations, theirs.index());
        }
        mine.advance();
        theirs.advance();
      } else {
        ok = write(incoming, theirStations, theirs.index(), -1, -1);
        theirs.advance();
        ++added;
      }
      ++total;
    }
    for (; ok && !mine.finished; mine.advance()) {
      mine.read(target);
      takeCursorNames(directory, target);
      ok = write(target, mineStations, mine.index(), -1, -1);
      ++total;
      show(target);
    }
    for (; ok && !theirs.finished; theirs.advance()) {
      theirs.read(incoming);
      takeCursorNames(source.directory, incoming);
      ok = write(incoming, theirStations, theirs.index(), -1, -1);
      ++total;
      ++added;
      show(incoming);
    }
  } catch (...) {
    if (reporting) reportFailure(info);
    throw;
  }

  if (ok && stations.active()) {
    // An import drops no record: its station file goes first.
    replacement.carryStations(StationFile::nameFor(stateOf(this).dataPath), stations.finish(),
                              true);
  }
  if (!ok || !replacement.commit(*fresh)) {
    if (reporting) reportFailure(info);
    return;
  }
  fresh->fileName = directory->fileName;
  delete directory;
  directory = fresh.release();
  adoptReplacement(*this, replacement.takeFile());

  info.finish();
  info.showText(VELDstring("Importing of data completed."), -1);
  info.showText(VELDstring("Total Locations:"), 0);
  info.showNumber(total, 0);
  info.showText(VELDstring("New:"), 1);
  info.showNumber(added, 1);
  info.showText(VELDstring("Replaced:"), 2);
  info.showNumber(replaced, 2);
}
