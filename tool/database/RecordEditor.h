#ifndef METDB_TOOL_DATABASE_RECORDEDITOR_H_
#define METDB_TOOL_DATABASE_RECORDEDITOR_H_

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "datafile/LocationData.h"
#include "datafile/StationInfo.h"
#include "directory/Directory.h"
#include "tool/database/Database.h"
#include "tool/database/ProgressInfo.h"
#include "tool/record/StationCsv.h"

namespace metdb {

// Edits of a database's records with the library's own operations. A
// single record is added by appending it to the data file and entering it
// in its group in the directory (the walk sees it in its place; its record
// lies apart from its group in the file until the next compaction, which
// check reports as a note), so that one edit costs the directory's save,
// not a rewrite of the file. A record is removed by deleting its location
// from the directory (Directory::deleteEntry); the data file is compacted
// (BMTFile::remakeDatabase) once as many of its records are unused as used.
// Many records are replaced at once (replaceAll) by importing a database of
// the new records into the directory without the old ones: one rewrite,
// whatever their number, which leaves the file grouped.
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

  // A location's record index and its new record, for replaceAll.
  using Replacement = std::pair<long, LocationData>;

  // Replaces the records of many locations in one rewrite of the data file:
  // each replacement's location takes its new record, and moves to its new
  // group when its names, level or position change; the others stay as
  // they are. The new records' group names are written as given (the
  // caller gives them the directory's letter case first where it wants
  // them to join a group: adoptGroupNames). The file stays grouped (one
  // whose groups were split before is regrouped afterwards, as
  // compactAndRegroup does). info hears the rewrite's progress. Throws
  // Error, with the data file and the directory file as they were, when
  // checkReplacements refuses or the rewrite fails; does nothing for no
  // replacement. Each location keeps its station information, or takes the
  // one stations gives for its record index.
  void replaceAll(const std::vector<Replacement>& replacements, ProgressInfo& info,
                  const std::map<long, StationInfo>& stations = {});

  // What replaceAll checks before it writes, for a dry run as well:
  // throws Error when an index is given twice or no location refers to
  // it, or when a new record would equal another one (names ignoring case,
  // level, position, as findEqual compares them), naming both records.
  // The other one is another new record, or a location that stays.
  // Changes nothing.
  void checkReplacements(const std::vector<Replacement>& replacements) const;

  // Imports the database whose data file is source (opened read-only; it
  // stays as it is) into this one, the records of equal locations from
  // source when replaceEqual is set. info hears the progress and the
  // closing report. Throws, with nothing changed, when source is no usable
  // data file or is this database's own, or the import fails. Throws too
  // when a record of source cannot be real (findRecordFault: bytes that are
  // no data file of locations, such as a text file), unless force is set;
  // names holding control bytes are refused even then, for they would
  // break the directory file.
  // Imports the rows of a station list as importFrom imports a database:
  // they become a database of their own in a scratch folder (which goes
  // afterwards), in hierarchy order, which is then imported. Throws, with
  // nothing changed, when that database cannot be made or the import
  // fails.
  void importRows(std::vector<StationRow> rows, bool replaceEqual, ProgressInfo& info);

  void importFrom(const std::string& source, bool replaceEqual, ProgressInfo& info,
                  bool force = false);

  // Compacts the data file as compact() does, and regroups it: while the
  // directory holds a continent, country or state twice (a data file whose
  // groups were split by appends), it is rebuilt from the compacted records
  // and compacted again, which joins one level's groups each time. Saves
  // the directory. Throws on failure.
  void compactAndRegroup();

  // Runs BMTFile::remakeDatabase and checks that it replaced the data file
  // with one that holds exactly the directory's records in walk order (the
  // method itself reports nothing). Throws when not.
  void compact();

 private:
  // Imports source into the database (BMTFile::merge), dropping the
  // directory's unsaved edits when that fails, and saves the directory.
  // Throws "Cannot write the new data file beside ...: <reason>;
  // <nothingDone>." with the library's reason, or unexplained when it gave
  // none.
  void merge(MetDatabase& source, bool replaceEqual, ProgressInfo& info, const char* unexplained,
             const char* nothingDone);

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
