#ifndef METDB_CLI_SELECTEDLOCATIONS_H_
#define METDB_CLI_SELECTEDLOCATIONS_H_

#include <functional>
#include <memory>
#include <string>

#include "cli/Filters.h"
#include "cli/ToolContext.h"
#include "datafile/BMTFile.h"
#include "selection/TLocationIterator.h"
#include "selection/TLocationSelection.h"

class DatabaseAccess;

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
  // current database) and resolves it. Returns false with *error set (a
  // sentence without its period) when the selection cannot be made.
  bool build(const Filters& filters, BMTFile* db, std::string* error);

  // Opens the tool's database through access for reading and builds the
  // selection from filters against it. Returns false after reporting the
  // failure through context. access must outlive every use of this object.
  bool openAndBuild(const Filters& filters, DatabaseAccess& access, ToolContext& context);

  // The number of selected locations.
  long count() const;
  // Calls visit with each selected record and its record index, in the
  // directory's order. May be called more than once. Each record is a check
  // point (stopIfInterrupted); the iterator's index file is removed when
  // this object goes, however the walk ends.
  void forEach(const std::function<void(const LocationData&, long)>& visit);

  TLocationSelection& selection() { return selection_; }

 private:
  TLocationSelection selection_;
  std::unique_ptr<TLocationIterator> iterator_;
};

#endif  // METDB_CLI_SELECTEDLOCATIONS_H_
