#ifndef METDB_TOOL_DATABASE_DIRECTORYSTATS_H_
#define METDB_TOOL_DATABASE_DIRECTORYSTATS_H_

#include <string>
#include <vector>

#include "directory/Directory.h"

namespace metdb {

// Counts of a directory's hierarchy, and the groups that occur more than
// once under one parent (which a data file whose groups were split produces:
// the directory is rebuilt from the records in file order).
struct DirectoryStats {
  long continents = 0;
  long countries = 0;
  long states = 0;
  long locations = 0;
  // Paths such as "Europe/Norway" of each group whose name (ignoring case)
  // its parent holds more than once, each named once.
  std::vector<std::string> duplicateGroups;

  // Walks the arrays of directory (not its cursor).
  static DirectoryStats of(Directory* directory);
};

// The number of locations below a group of the hierarchy.
long locationsIn(Continent* continent);
long locationsIn(Country* country);
long locationsIn(State* state);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_DIRECTORYSTATS_H_
