#ifndef METDB_TOOL_DATABASE_RECORDEDITOR_H_
#define METDB_TOOL_DATABASE_RECORDEDITOR_H_

#include <set>
#include <string>

#include "datafile/LocationData.h"
#include "directory/Directory.h"
#include "tool/database/Database.h"

namespace metdb {

// Edits of a database record by record that keep its data file grouped and
// every continent, country and state in its directory once, with the
// library's own operations: a record is placed in its group by importing a
// one-record database (BMTFile::merge), and removed by deleting its
// location from the directory (Directory::deleteEntry) and then compacting
// the data file (BMTFile::remakeDatabase) or importing.
//
// The database must have been opened with DatabaseUse::kWrite, so that its
// directory file describes its data file before the edit. Each edit either
// completes, with the directory saved, or leaves the data file and the
// directory file as they were (the directory's unsaved changes are
// dropped) and throws Error saying why.
class RecordEditor {
 public:
  explicit RecordEditor(Database& access) : access_(access) {}

  // Puts the directory's cursor on the location whose record is index.
  // False when no location refers to it.
  bool moveCursorTo(long index);

  // The first location equal to record as the import compares records
  // (names ignoring case, level, latitude, longitude, the coordinates as
  // the data file holds them), other than except; null when there is none.
  Location* findEqual(const LocationData& record, const Location* except) const;

  // Gives record's continent, country and state the letter case of the
  // groups of the same names in the directory, so that a new record joins
  // them as they are written.
  void adoptGroupNames(LocationData* record) const;

  // Imports record, which no location may equal (see findEqual), into its
  // group. When removeCursorLocation is set, the location under the cursor
  // is deleted first, so that the same import replaces its record. Throws
  // when the import fails.
  void insert(const LocationData& record, bool removeCursorLocation);

  // Deletes every location whose record index is in indices and compacts
  // the data file; returns the number of locations deleted. Throws when the
  // compaction fails.
  long remove(const std::set<long>& indices);

  // Runs BMTFile::remakeDatabase and checks that it replaced the data file
  // with one that holds exactly the directory's records in walk order (the
  // method itself reports nothing). Throws when not.
  void compact();

 private:
  // Whether the data file holds exactly one record per location, numbered
  // 0, 1, 2, ... in walk order.
  bool isCompact() const;
  // The library's reason for the failure just seen, or a phrase saying the
  // result was wrong when it gave none.
  static std::string reasonOrUnknown();

  Database& access_;
};

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_RECORDEDITOR_H_
