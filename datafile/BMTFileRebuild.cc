// BMTFile::remakeDatabase: the data file compacted into directory order.
#include "datafile/BMTFile.h"

#include <cstring>

#include "datafile/DataFileReplacement.h"
#include "datafile/WorkingDirectory.h"

// Writes the records that the directory refers to, in walk order, to a new
// data file and swaps it in atomically; only then are the locations pointed
// at their new positions 0, 1, 2, ... Walk steps without a current location
// write nothing. On any failure (no temporary file, a failed write or sync,
// a failed rename) the data file, the directory and the directory file stay
// as they were and the temporary file is removed. A BMTFile* thrown by
// getLocationData passes out the same way.
void BMTFile::remakeDatabase() {
  WorkingDirectory wd(homeDrive, homePath.c_str());
  stream.close();
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
  if (!replacement.commit()) return;

  if (directory->IsEmpty()) return;
  long position = 0;
  directory->first();
  do {
    if (directory->getLocationIndex() >= 0) directory->setLocationIndex(position++);
  } while (directory->next());
}
