#ifndef METDB_TOOL_DATABASE_COMPACTION_H_
#define METDB_TOOL_DATABASE_COMPACTION_H_

#include <string>

#include "directory/Directory.h"
#include "tool/database/Database.h"

namespace metdb {

// Compaction of a database opened with DatabaseUse::kWrite: the data file
// rewritten with exactly the directory's records, in walk order. Each
// operation completes, with the directory saved, or throws Error with the
// data file and the directory file as they were.
class Compaction {
 public:
  explicit Compaction(Database& access) : access_(access) {}

  // Compacts the data file as compact() does, and regroups it: while the
  // directory holds a continent, country or state twice (a data file whose
  // groups were split by appends), it is rebuilt from the compacted records
  // and compacted again, which joins one level's groups each time. Saves
  // the directory. Throws on failure.
  void compactAndRegroup();

  // Runs BMTFile::remakeDatabase and checks that it replaced the data file
  // with one that holds exactly the directory's records in walk order (the
  // method itself reports nothing). Throws when not, or when the directory
  // names a record the data file does not hold (refuseStrayLocations).
  void compact();

 private:
  // Whether the data file holds exactly one record per location, numbered
  // 0, 1, 2, ... in walk order.
  bool isCompact() const;

  Database& access_;
};

// Refuses to rewrite a data file of records records whose directory (read
// from directoryFile) names a record the file does not hold: a damaged
// directory file, which the rewrite would turn into an empty record at 0,0
// or a dropped location. Throws Error (kDamaged) naming the first such
// location, ending "; <nothingDone>." and the repair.
void refuseStrayLocations(Directory* directory, long records, const std::string& directoryFile,
                          const std::string& dataFile, const char* nothingDone);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_COMPACTION_H_
