#ifndef METDB_CLI_CHANGELIST_H_
#define METDB_CLI_CHANGELIST_H_

#include <ostream>
#include <vector>

#include "tool/database/BulkEdit.h"

namespace metdb {

// Writes planned changes to out, one line per location: its record index,
// its path before the change and each field that changes, old -> new
// (names quoted), such as
//   3  Europe/Norway/Oslo/Oslo: country "Norway" -> "Norge", level 1 -> 2
void writeChangeList(std::ostream& out, const std::vector<PlannedChange>& changes);

}  // namespace metdb

#endif  // METDB_CLI_CHANGELIST_H_
