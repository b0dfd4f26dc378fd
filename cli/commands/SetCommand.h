#ifndef METDB_CLI_COMMANDS_SETCOMMAND_H_
#define METDB_CLI_COMMANDS_SETCOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb set INDEX [fields to change]` to app: changes fields of
// record INDEX. A change of only the application value or the series is
// written in place; any other change moves the record to the place its new
// names, level and position give it, by deleting its location and
// importing the changed record (see RecordEditor), so that the data file
// stays grouped; the record's index may change then. app and context are
// owned by the caller and outlive the parse and the run.
void addSetCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_SETCOMMAND_H_
