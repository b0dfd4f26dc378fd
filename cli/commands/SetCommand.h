#ifndef METDB_CLI_COMMANDS_SETCOMMAND_H_
#define METDB_CLI_COMMANDS_SETCOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb set INDEX|PATH [fields to change]` and `metdb set FILTERS
// --set FIELD=VALUE ...` to app. The first changes fields of one location,
// given by its record index or its full path (a path that names several
// locations is refused, listing them): a change of only the application
// value or the series is written in place; any other change moves the
// record to the place its new names, level and position give it
// (RecordEditor::replace), so that the data file stays grouped; the
// record's index may change then. The second changes every location the
// filters select, in one rewrite of the data file (BulkEdit). --dry-run
// lists the changes and writes nothing. app and context are owned by the
// caller and outlive the parse and the run.
void addSetCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_SETCOMMAND_H_
