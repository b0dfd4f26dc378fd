#ifndef METDB_TOOL_DATABASE_RECORDEDITOR_H_
#define METDB_TOOL_DATABASE_RECORDEDITOR_H_

#include <set>
#include <string>

#include "datafile/LocationData.h"
#include "datafile/StationInfo.h"
#include "directory/Directory.h"
#include "tool/database/Database.h"

namespace metdb {

// Edits of a database's records with the library's own operations. A
// single record is added by appending it to the data file and entering it
// in its group in the directory (the walk sees it in its place; its record
// lies apart from its group in the file until the next compaction, which
// check reports as a note), so that one edit costs the directory's save,
// not a rewrite of the file. A record is removed by deleting its location
// from the directory (Directory::deleteLocations, one pass for any number);
// the data file is compacted (Compaction) once as many of its records are
// unused as used. Many records are replaced in one rewrite by
// RecordReplacement, databases and lists are imported by DatabaseImport.
//
// The database must have been opened with DatabaseUse::kWrite, so that its
// directory file describes its data file before the edit. Each edit either
// completes, with the directory saved, or throws Error saying why; a
// failure before the directory is saved leaves its file as it was (the
// directory's unsaved changes are dropped), and a record appended by then
// lies unused in the data file, or, should the directory file be rebuilt
// before it is saved again, joins the directory then.
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

  // Deletes every location whose record index is in indices and saves the
  // directory; returns the number of locations deleted. Their records stay
  // in the data file (unused) until it holds as many unused records as
  // used ones; then it is compacted. Throws when the compaction or the
  // save fails.
  long remove(const std::set<long>& indices);

  // Adds *record as a new location in its group (its group names first take
  // the letter case the directory has, in *record): appends it to the data
  // file and enters it in its group, then saves the directory. Returns its
  // record index; info is its station information (identifiers,
  // elevation...), with its position's time zone where info gives none
  // (LocationTimeZone). Throws when a location equal to it exists already
  // (naming its record), or the append or a save fails.
  long add(LocationData* record, const StationInfo& info = StationInfo());

  // The record of the location whose record is index; puts the cursor on
  // that location. Throws when no location refers to it.
  LocationData record(long index);

  // Replaces the record of the location whose record is index by *record
  // (its group names adopted as add does): in place when its names, level and
  // position stay, else by appending the new record, entering it in its new
  // group and deleting the old location (whose record stays unused until
  // compaction). Returns its record index afterwards. Its station
  // information goes with it, replaced by *info when given. Throws when
  // another location equals the new record, or the write fails.
  long replace(long index, LocationData* record, const StationInfo* info = nullptr);

  // The station information of the location whose record is index (empty
  // when none).
  StationInfo stationInfo(long index);

 private:
  // Appends record to the data file, gives it station in the station file
  // (saved first; the replaced location's entry stays with its record
  // until compaction), deletes the location whose record is replaced (none
  // when -1), enters the record in its group and saves the directory.
  // Returns the new record index; throws, refusing beside others' unsaved
  // records (refuseBesideUnsavedRecords), when the append or a save fails.
  long append(const LocationData& record, const StationInfo& station, long replaced);

  // Throws, changing nothing, when another process (or another database of
  // this one) holds records it appended but has not yet entered in a saved
  // directory file, which a directory saved here would not index.
  void refuseBesideUnsavedRecords();

  Database& access_;
};

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_RECORDEDITOR_H_
