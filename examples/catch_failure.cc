// Catching the BMTFile* that getLocationData throws when the database's data
// file could not be opened.
// Usage: catch_failure [FOLDER]
#include <metdb/metdb.h>

#include <cstdio>
#include <string>

#include "sample_database.h"

namespace {

// Reads record 0 of db. Reading is the one operation that throws: a
// BMTFile* to the database itself, which stays owned by its owner (never
// delete it through the pointer). Everything else reports failure by its
// result or getMetLastError().
bool readFirst(BMTFile& db, LocationData& record) {
  try {
    db.getLocationData(0, record);
    return true;
  } catch (BMTFile* failed) {
    std::fprintf(stderr, "cannot read %s: %s\n", failed->fileName.c_str(), getMetLastError());
    return false;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ".";
  const std::string path = folder + "/stations.bmt";
  if (!makeSampleDatabaseOrSay(path)) return 1;

  // A database whose data file is missing, opened read-only so that none is
  // created: it is not valid, and reading from it throws.
  const std::string missing = folder + "/missing.bmt";
  BMTFile broken(missing.c_str(), BMTFile::kReadOnly);
  std::printf("missing.bmt valid: %s\n", broken.IsValid() ? "yes" : "no");
  LocationData record;
  std::printf("read from missing.bmt: %s\n", readFirst(broken, record) ? "read" : "caught");

  BMTFile db(path.c_str());
  std::printf("read from stations.bmt: %s\n", readFirst(db, record) ? record.name : "caught");

  // The iterator and the import read records too, and let the pointer pass.
  // For the current database it is the library's object: to go on, replace
  // it with setMetDatabase (which deletes it), do not delete it.
  try {
    setMetDatabase(missing.c_str(), BMTFile::kReadOnly);
    LocationData other;
    getMetDatabase()->getLocationData(0, other);
  } catch (BMTFile* failed) {
    std::printf("caught the current database: %s\n", failed == getMetDatabase() ? "yes" : "no");
    if (!setMetDatabase(path.c_str())->IsValid()) return 1;
  }
  std::printf("current database valid again: %s\n", getMetDatabase()->IsValid() ? "yes" : "no");
  return 0;
}
