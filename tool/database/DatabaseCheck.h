#ifndef METDB_TOOL_DATABASE_DATABASECHECK_H_
#define METDB_TOOL_DATABASE_DATABASECHECK_H_

#include <string>
#include <vector>

#include "tool/database/Database.h"

namespace metdb {

// One finding of a check: what holds, what is worth knowing, or a fault,
// with examples of a fault (paths or record numbers), all of them.
struct Finding {
  enum Kind { kOk, kNote, kFault };
  Kind kind;
  std::string what;  // a phrase, without its period
  std::vector<std::string> examples;
};

// Checks the open database of access (opened for reading) as a maintainer
// would: the data file holds whole records; the directory file reads and is
// up to date; every location agrees with its record (names, level, the
// position to the directory file's two decimals), refers to a record that
// exists and no other location refers to; every record is referred to; no
// group occurs twice in the directory; the data file keeps each group's
// records together. Reads every record once (a check point each).
std::vector<Finding> checkDatabase(Database& access);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_DATABASECHECK_H_
