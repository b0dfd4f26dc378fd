#ifndef METDB_CLI_COMMANDS_DELETECOMMAND_H_
#define METDB_CLI_COMMANDS_DELETECOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb delete INDEX|PATH [--dry-run]` and `metdb delete --selection
// FILE [--dry-run]` to app: deletes one record, every location under a path
// (CONTINENT, CONTINENT/COUNTRY, ... down to a location's name), or the
// locations of a saved selection, by deleting them from the directory (see
// RecordEditor::remove for when the data file is compacted). --dry-run lists what would
// go and changes nothing. app and context are owned by the caller and
// outlive the parse and the run.
void addDeleteCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_DELETECOMMAND_H_
