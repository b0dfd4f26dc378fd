#ifndef METDB_TOOL_DATABASE_SELECTIONCHECK_H_
#define METDB_TOOL_DATABASE_SELECTIONCHECK_H_

#include <string>

#include "directory/Directory.h"
#include "selection/TLocationSelection.h"

namespace metdb {

// How a selection stands against the current database: what a host's
// allSelectionInMetDB, noSelection and iterator say of it, and where the
// first entry the check does not find lies.
struct SelectionCheck {
  // Every entry of the selection is in the database (allSelectionInMetDB).
  bool allInDatabase = false;
  // When not: the path ("Europe/Norway/Oslo") of the first entry that the
  // check does not find, matching as it does (names ignoring case, each
  // level's entries in the directory's order).
  std::string firstMissing;
  // The selection selects no location of the database (noSelection).
  bool selectsNothing = true;
  // The locations it selects, as a host's iterator counts them.
  long locations = 0;

  // Checks selection against directory, which must be the current
  // database's. Reads both; changes neither. Throws nothing of its own.
  static SelectionCheck of(TLocationSelection* selection, Directory* directory);
};

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_SELECTIONCHECK_H_
