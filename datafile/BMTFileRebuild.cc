// BMTFile::remakeDatabase: the data file compacted into directory order.
#include <cstring>
#include <vector>

#include "datafile/BMTFile.h"
#include "datafile/DataFileReplacement.h"
#include "datafile/WorkingDirectory.h"
#include "datafile/WriteAccess.h"
#include "platform/Failure.h"

namespace {

// Numbers the locations 0, 1, 2, ... in walk order (steps without a current
// location keep nothing); returns the indices they had, in the same order.
std::vector<long> renumber(Directory* d) {
  std::vector<long> old;
  if (d->IsEmpty()) return old;
  long position = 0;
  d->first();
  do {
    long index = d->getLocationIndex();
    if (index < 0) continue;
    old.push_back(index);
    d->setLocationIndex(position++);
  } while (d->next());
  return old;
}

// Gives the locations back the indices renumber took from them.
void restore(Directory* d, const std::vector<long>& old) {
  if (d->IsEmpty()) return;
  std::size_t i = 0;
  d->first();
  do {
    if (d->getLocationIndex() >= 0 && i < old.size()) d->setLocationIndex(old[i++]);
  } while (d->next());
}

}  // namespace

// Writes the records that the directory refers to, in walk order, to a new
// data file, renumbers the locations 0, 1, 2, ... and swaps the new data
// file and the directory file describing it in. Walk steps without a
// current location write nothing. On any failure the data file, the
// directory and the directory file stay as they were and the temporary
// files are removed. A BMTFile* thrown by getLocationData passes out the
// same way.
void BMTFile::remakeDatabase() {
  platform::clearFailure();
  WorkingDirectory wd(homeDrive, homePath.c_str());
  LockHold hold(databaseLock(*this), SharedLock::kExclusive, SharedLock::waitSeconds());
  if (!checkReplaceable(*this, hold)) return;
  DataFileReplacement replacement(fileName, directory->fileName);
  if (!replacement.begin()) return;
  if (!directory->IsEmpty()) {
    BulkRead reading(*this);
    directory->first();
    do {
      long index = directory->getLocationIndex();
      if (index < 0) continue;
      // Every byte defined: a location whose record lies past the end of
      // the file reads nothing, and its slot must then hold zeros rather
      // than what the buffer held before.
      LocationData record;
      std::memset(static_cast<void*>(&record), 0, sizeof record);
      getLocationData(index, record);
      if (replacement.append(record) < 0) return;
    } while (directory->next());
  }
  std::vector<long> old = renumber(directory);
  if (!replacement.commit(*directory)) {
    restore(directory, old);
    return;
  }
  adoptReplacement(*this, replacement.takeFile());
}
