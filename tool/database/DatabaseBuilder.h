#ifndef METDB_TOOL_DATABASE_DATABASEBUILDER_H_
#define METDB_TOOL_DATABASE_DATABASEBUILDER_H_

#include <functional>
#include <string>
#include <vector>

#include "tool/database/Database.h"
#include "tool/database/DirectoryStats.h"
#include "tool/record/StationCsv.h"

namespace metdb {

// Orders rows by the hierarchy (continent, country and state by name
// ignoring case, then locations as a state orders them), as a grouped data
// file holds them. Rows that compare equal keep their order.
void sortIntoHierarchyOrder(std::vector<StationRow>* rows);

// Makes the database target names (its data file and directory file) from
// rows, which must be in hierarchy order: both files are written in a work
// folder beside the data file, then swapped in under the database lock,
// the data file first and newer than any old directory file, so that no
// program ever sees a data file with a directory file of another one. Each
// row is a check point. force: an existing database is replaced (else it
// is an error). warn hears a sentence when the new directory file could not
// be moved into place (the next opening rebuilds it). Returns the new
// directory's counts. Throws Error, the target as it was, on any failure
// before the data file is in place.
DirectoryStats createDatabase(Database& target, const std::vector<StationRow>& rows, bool force,
                              const std::function<void(const std::string&)>& warn);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_DATABASEBUILDER_H_
