#ifndef METDB_TOOL_DATABASE_SELECTEDLOCATIONS_H_
#define METDB_TOOL_DATABASE_SELECTEDLOCATIONS_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "datafile/BMTFile.h"
#include "datafile/StationFile.h"
#include "selection/TLocationIterator.h"
#include "selection/TLocationSelection.h"
#include "tool/database/Filters.h"

namespace metdb {

class Database;

// The locations that filter options pick. Filters select directory entries
// (selectLocations: every match, same-named locations included); a saved
// selection file is resolved by a TLocationIterator against the current
// database as a host's would be, and keeps its own meaning. Either way the
// records are read one at a time in walk order; only the current record is
// held in memory. reorder() replaces the walk order by another.
class SelectedLocations {
 public:
  SelectedLocations() = default;
  SelectedLocations(const SelectedLocations&) = delete;
  SelectedLocations& operator=(const SelectedLocations&) = delete;

  // Selects from db's directory by filters (--id and --active by the
  // station file), or resolves their selection file against db, which is
  // lent to the library as its current database for that (lendToLibrary;
  // db is a Database's or the library's own). db must outlive every use of
  // this object, and its directory must not change meanwhile. Throws Error
  // when the selection cannot be made.
  void build(const Filters& filters, BMTFile* db);

  // Opens the database through access for reading and builds the selection
  // from filters against it; throws Error on failure. access must outlive
  // every use of this object.
  void openAndBuild(const Filters& filters, Database& access);

  // The number of selected locations.
  long count() const;
  // The directory entries of the selected locations, in walk order. For a
  // selection file the records are read once to find them.
  const std::vector<Location*>& entries();
  // Calls visit with each selected record and its record index, in the
  // directory's order, with a check point before each. May be called more
  // than once. Each record is a check
  // point (stopIfInterrupted); the iterator's index file is removed when
  // this object goes, however the walk ends.
  void forEach(const std::function<void(const LocationData&, long)>& visit);

  // From now on forEach visits the records of these record indices in this
  // order instead (each read by its index), and count() is their number.
  // recordIndices are meant to be the selected ones in another order
  // (sortedRecordIndices). entries() is to be taken before: for a selection
  // file it is found through forEach.
  void reorder(std::vector<long> recordIndices);

  TLocationSelection& selection() { return selection_; }

  // The station information of the record at index (null when none), from
  // the database's station file, read and matched against the records on
  // the first call.
  const StationInfo* station(long index);
  // Whether the database has a station file.
  bool hasStations();

 private:
  // Keeps of the entries those that --id and --active of filters keep.
  void keepStations(const Filters& filters);

  BMTFile* db_ = nullptr;
  TLocationSelection selection_;
  // Set for a selection file.
  std::unique_ptr<TLocationIterator> iterator_;
  std::vector<Location*> entries_;
  bool entriesKnown_ = false;
  std::vector<long> order_;
  bool reordered_ = false;
  std::unique_ptr<StationFile> stations_;
};

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_SELECTEDLOCATIONS_H_
