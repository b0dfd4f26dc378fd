#ifndef METDB_TOOL_DATABASE_DATABASECHECK_H_
#define METDB_TOOL_DATABASE_DATABASECHECK_H_

#include <cstddef>
#include <string>
#include <vector>

#include "tool/database/Database.h"

namespace metdb {

// One finding of a check: what holds, what is worth knowing, or a fault,
// with examples of a fault (paths or record numbers), all of them.
struct Finding {
  enum Kind { kOk, kNote, kFault };
  Kind kind;
  std::string what;                   // a phrase, without its period
  std::vector<std::string> examples;  // the first ones, when there are many
  // How many things the finding counts, when more than its examples (0:
  // as many as its examples).
  std::size_t count = 0;
};

// Checks the open database of access (opened for reading) as a maintainer
// would. Faults (something lost, unreadable or inconsistent): bytes after
// the last whole record; a directory file that does not read; a location
// that disagrees with its record (names, level, the position to the
// directory file's two decimals), refers to a record that does not exist
// or that another location refers to. Notes (states that the library's
// own appends and deletions leave, which "metdb compact" tidies): records
// that no location refers to, groups that occur twice in the directory,
// records that stand apart from their group in the data file; and a
// directory file that is missing or older than the data file. Reads every
// record once (a check point each).
std::vector<Finding> checkDatabase(Database& access);

// The locations of directory that refer to a record a data file of records
// records does not hold (a negative index or one past its end), each as
// "PATH refers to record N", in walk order: the fault of a damaged
// directory file that a rewrite of the data file must not act on.
std::vector<std::string> locationsOutsideRecords(Directory* directory, long records);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_DATABASECHECK_H_
