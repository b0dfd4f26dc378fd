#ifndef METDB_CLI_RECORDEDITOR_H_
#define METDB_CLI_RECORDEDITOR_H_

#include <set>
#include <string>

#include "cli/DatabaseAccess.h"
#include "cli/ToolContext.h"
#include "datafile/LocationData.h"
#include "directory/Directory.h"

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
// dropped) and reports why.
class RecordEditor {
 public:
  RecordEditor(DatabaseAccess& access, ToolContext& context) : access_(access), context_(context) {}

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
  // is deleted first, so that the same import replaces its record. Returns
  // false, reported, when the import fails.
  bool insert(const LocationData& record, bool removeCursorLocation);

  // Deletes every location whose record index is in indices and compacts
  // the data file. Sets *removed to the number of locations deleted.
  // Returns false, reported, when the compaction fails.
  bool remove(const std::set<long>& indices, long* removed);

  // Runs BMTFile::remakeDatabase and tells whether it replaced the data
  // file with one that holds exactly the directory's records in walk order
  // (the method itself reports nothing). Reports a failure.
  bool compact();

 private:
  // Whether the data file holds exactly one record per location, numbered
  // 0, 1, 2, ... in walk order.
  bool isCompact() const;
  // The library's reason for the failure just seen, or a phrase saying the
  // result was wrong when it gave none.
  static std::string reasonOrUnknown();

  DatabaseAccess& access_;
  ToolContext& context_;
};

#endif  // METDB_CLI_RECORDEDITOR_H_
