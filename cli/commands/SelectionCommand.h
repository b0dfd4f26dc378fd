#ifndef METDB_CLI_COMMANDS_SELECTIONCOMMAND_H_
#define METDB_CLI_COMMANDS_SELECTIONCOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds the `metdb selection` commands to app:
//   selection new FILE [--title TEXT] [--force] [FILTERS]
//       saves the locations that the filter options (list's, in list's
//       words) pick as a selection file titled TEXT (by default the file
//       name's stem, which the output says);
//   selection show FILE
//       its tree, its limits and the three describing strings;
//   selection check FILE
//       whether every entry is in the database (allSelectionInMetDB) and
//       whether it selects anything (noSelection), naming the first entry
//       that is missing; exit status 1 when one is or nothing is selected.
// app and context are owned by the caller and outlive the parse and the
// run.
void addSelectionCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_SELECTIONCOMMAND_H_
