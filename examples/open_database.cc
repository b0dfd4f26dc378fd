// Opening a database: an object of one's own, and the current database.
// Usage: open_database [FOLDER]
#include <metdb/metdb.h>

#include <cstdio>
#include <string>

#include "sample_database.h"

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ".";
  const std::string path = folder + "/stations.bmt";
  if (!makeSampleDatabaseOrSay(path)) return 1;
  std::printf("library version %s\n", getMetDLLVersion().c_str());

  {
    // The constructor opens the database: it loads the directory file, or
    // rebuilds the directory from the records when that file is missing or
    // older than the data file. A missing data file is created empty.
    BMTFile db(path.c_str());
    if (!db.IsValid()) {
      std::fprintf(stderr, "cannot open %s: %s\n", path.c_str(), getMetLastError());
      return 1;
    }
    std::printf("stations.bmt: %ld records, %ld locations\n", db.fileLength() / kLocationDataSize,
                db.directory->locationCount);
  }  // the destructor saves the directory if it changed

  // The current database is the one that selections and iterators work on.
  // setMetDatabase makes it; the library owns it and deletes it when it is
  // replaced or the library is unloaded.
  BMTFile* current = setMetDatabase(path.c_str());
  if (!current->IsValid()) {
    std::fprintf(stderr, "cannot open %s: %s\n", path.c_str(), getMetLastError());
    return 1;
  }
  std::printf("current database set: %s\n", getMetDataFileName() == path ? "yes" : "no");
  std::printf("getMetDatabase() gives the same object: %s\n",
              getMetDatabase() == current ? "yes" : "no");

  // A process that only reads opens read-only: nothing is ever written, not
  // even a directory file. The old current database is deleted here, so
  // `current` is dangling from now on.
  BMTFile* reader = setMetDatabase(path.c_str(), BMTFile::kReadOnly);
  std::printf("read-only: %s, %ld locations\n", reader->IsReadOnly() ? "yes" : "no",
              reader->directory->locationCount);
  if (!reader->IsValid()) return 1;

  // Done with it: closeMetDatabase deletes the current database (saving its
  // directory when it changed) without opening another, and releases its
  // files. The next getMetDatabase() opens getMetDataFileName() again.
  closeMetDatabase();
  std::printf("closed; the name stays: %s\n", getMetDataFileName() == path ? "yes" : "no");
  return 0;
}
