#ifndef METDB_PYTHON_DATABASEEDITS_H_
#define METDB_PYTHON_DATABASEEDITS_H_

#include <pybind11/pybind11.h>

#include <string>
#include <utility>

#include "python/OpenDatabase.h"
#include "tool/database/Filters.h"

namespace metdb {
namespace python {

// The changes of a database, as the tool's commands of the same names
// make them: each keeps the data file grouped and the directory in step,
// and either completes or leaves both files as they were and raises. The
// database must be open for writing (else metdb.ReadOnlyError); each
// change counts as a new generation of it (OpenDatabase::noteChange).
//
// A location is named by `what`: an int (a record index), a str of digits
// (the same), or a str path CONTINENT/COUNTRY/STATE/NAME.

// Adds a location from fields (column name -> value; name, country,
// continent, latitude and longitude required; the level is 1 and the rest
// 0 unless given) in its group. Returns its record index.
long addLocation(OpenDatabase& database, const pybind11::dict& fields);

// Changes fields of the one location what names. Returns its record index
// afterwards (it moves when its names, level or position change).
long setLocation(OpenDatabase& database, const pybind11::handle& what,
                 const pybind11::dict& fields);

// Changes fields of every location filters select, in one rewrite.
// Returns the number of locations changed.
long setSelected(OpenDatabase& database, const pybind11::dict& fields, const Filters& filters);

// Deletes the location of a record index, or every location under a path
// (CONTINENT, CONTINENT/COUNTRY, ...), and compacts the data file. Returns
// the number deleted.
long deleteLocations(OpenDatabase& database, const pybind11::handle& what);

// Renames the continent, country, state or location path names. Returns
// the number of locations whose records changed.
long renameGroup(OpenDatabase& database, const std::string& path, const std::string& newName);

// Compacts and regroups the data file. Returns the record counts before
// and after.
std::pair<long, long> compactDatabase(OpenDatabase& database);

// Imports another database (its data file) or a station list (any format
// the tool reads; told from the file's start) into this one. Returns the
// import's report: {"total": n, "new": n, "replaced": n} as far as given.
pybind11::dict importFrom(OpenDatabase& database, const std::string& source, bool replace,
                          bool force, bool skipBad);

// Imports a database open in this process (another metdb.Database, read
// through its own open files and lock) into this one; the same report.
pybind11::dict importFrom(OpenDatabase& database, OpenDatabase& source, bool replace, bool force);

}  // namespace python
}  // namespace metdb

#endif  // METDB_PYTHON_DATABASEEDITS_H_
