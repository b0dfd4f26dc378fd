// Deleting locations from the directory, then compacting the data file.
// Usage: delete_and_compact [FOLDER]
#include <metdb/metdb.h>

#include <cstdio>
#include <string>

#include "sample_database.h"

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ".";
  const std::string path = folder + "/stations.bmt";
  if (!makeSampleDatabaseOrSay(path)) return 1;
  BMTFile db(path.c_str());
  if (!db.IsValid()) return 1;
  Directory* directory = db.directory;

  // Delete every location above level 1. deleteEntry moves the cursor to
  // what followed the deleted location, so the walk does not call next()
  // after a deletion. It returns true when the cursor is unset because the
  // last continent went: then nothing follows.
  long deleted = 0;
  if (!directory->IsEmpty()) {
    directory->first();
    long steps = 2 * directory->locationCount + 16;  // a bound, as every step moves on
    while (steps-- > 0 && !directory->IsEmpty()) {
      long index = directory->getLocationIndex();
      if (index >= 0) {
        LocationData record;
        db.getLocationData(index, record);
        if (record.level > 1) {
          std::printf("deleting %s (record %ld)\n", record.name, index);
          ++deleted;
          if (directory->deleteEntry()) break;
          continue;
        }
      }
      if (!directory->next()) break;
    }
  }

  // The records are still in the data file. remakeDatabase writes the
  // records the directory refers to, in hierarchy order, into a new data
  // file and renumbers the directory; it reports failure only through
  // getMetLastError(), which it empties when it starts.
  const long before = db.fileLength() / kLocationDataSize;
  db.remakeDatabase();
  if (*getMetLastError() != '\0') {
    std::fprintf(stderr, "cannot compact %s: %s\n", path.c_str(), getMetLastError());
    return 1;
  }
  std::printf("deleted %ld; records before %ld, after %ld\n", deleted, before,
              db.fileLength() / kLocationDataSize);

  // The k-th location of a walk now holds record k.
  directory->first();
  do {
    std::printf("record %ld: %s\n", directory->getLocationIndex(), directory->getLocationName());
  } while (directory->next());
  return 0;
}
