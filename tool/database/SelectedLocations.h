#ifndef METDB_TOOL_DATABASE_SELECTEDLOCATIONS_H_
#define METDB_TOOL_DATABASE_SELECTEDLOCATIONS_H_

#include <functional>
#include <memory>
#include <string>

#include "datafile/BMTFile.h"
#include "selection/TLocationIterator.h"
#include "selection/TLocationSelection.h"
#include "tool/database/Filters.h"

namespace metdb {

class Database;

// The locations that filter options pick, as a host reaches them: the
// options become a TLocationSelection, which a TLocationIterator resolves
// against the current database and walks record by record. Only the
// current record is held in memory.
class SelectedLocations {
 public:
  SelectedLocations() = default;
  SelectedLocations(const SelectedLocations&) = delete;
  SelectedLocations& operator=(const SelectedLocations&) = delete;

  // Makes the selection from filters against db's directory (db must be the
  // current database) and resolves it. Throws Error when the selection
  // cannot be made.
  void build(const Filters& filters, BMTFile* db);

  // Opens the database through access for reading and builds the selection
  // from filters against it; throws Error on failure. access must outlive
  // every use of this object.
  void openAndBuild(const Filters& filters, Database& access);

  // The number of selected locations.
  long count() const;
  // Calls visit with each selected record and its record index, in the
  // directory's order, with a check point before each. May be called more
  // than once. Each record is a check
  // point (stopIfInterrupted); the iterator's index file is removed when
  // this object goes, however the walk ends.
  void forEach(const std::function<void(const LocationData&, long)>& visit);

  TLocationSelection& selection() { return selection_; }

 private:
  TLocationSelection selection_;
  std::unique_ptr<TLocationIterator> iterator_;
};

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_SELECTEDLOCATIONS_H_
