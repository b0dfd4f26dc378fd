#include "datafile/WriteAccess.h"

#include <utility>

#include "datafile/DatabaseState.h"
#include "platform/Failure.h"

SharedLock* databaseLock(const BMTFile& db) { return stateOf(&db).lock.get(); }

bool checkWritable(BMTFile& db, const LockHold& hold, platform::FileStamp* onDisk) {
  const DatabaseState& state = stateOf(&db);
  if (state.readOnly) {
    platform::noteFailure("the database is open for reading only");
    return false;
  }
  if (!db.stream.isOpen()) {
    if (!platform::hasFailure()) {
      platform::noteFailure("the data file \"" + db.fileName + "\" could not be opened");
    }
    return false;
  }
  if (!hold.ok()) return false;
  // The lock held must still be the one that other processes take.
  if (state.lock != nullptr && !state.lock->confirm(SharedLock::waitSeconds())) return false;
  if (onDisk != nullptr) *onDisk = platform::FileStamp();
  // As IsStale() tells, keeping what was seen.
  if (state.data.exists) {
    platform::FileStamp now = platform::stampOf(state.dataPath);
    if (!now.sameFile(state.data)) {
      platform::noteFailure("another process replaced the data file \"" + db.fileName +
                            "\" since this database was opened; open it again");
      return false;
    }
    if (onDisk != nullptr) *onDisk = now;
  }
  return true;
}

bool checkReplaceable(BMTFile& db, const LockHold& hold) {
  if (!db.IsValid()) {
    platform::noteFailure("the data file \"" + db.fileName + "\" is not usable");
    return false;
  }
  if (!checkWritable(db, hold)) return false;
  const DatabaseState& state = stateOf(&db);
  if (state.lock != nullptr && state.lock->othersHoldUnsaved(&db)) {
    platform::noteFailure(
        "another process has appended records to the database that it has not saved in "
        "the directory yet, and they would be lost; try again once it has closed the "
        "database");
    return false;
  }
  return true;
}

void keepNewerThanDirectory(BMTFile& db, DatingSeen* seen) {
  platform::FileStamp dir = platform::stampOf(directoryPath(*db.directory));
  platform::FileStamp data = db.stream.stamp();
  if (seen != nullptr) {
    seen->directory = dir;
    seen->writtenNs = data.modifiedNs;
  }
  // Setting the time is allowed to the file's owner only; for anyone else
  // the write's own time has to do, and its refusal is no failure of the
  // write.
  if (dir.exists && !(data.exists && data.modifiedNs > dir.modifiedNs)) {
    bool noted = platform::hasFailure();
    if (db.stream.setModified(dir.modifiedNs + 1)) {
      data = db.stream.stamp();
    } else if (!noted) {
      platform::clearFailure();
    }
  }
  stateOf(&db).data = data;
}

void adoptReplacement(BMTFile& db, platform::File newFile) {
  DatabaseState& state = stateOf(&db);
  db.stream = std::move(newFile);
  state.data = db.stream.stamp();
  state.directoryFile = platform::stampOf(directoryPath(*db.directory));
  state.baseline = recordIndices(*db.directory);
  db.directory->changed = false;
  if (state.lock != nullptr) state.lock->clearUnsaved(&db);
}
