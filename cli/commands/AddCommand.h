#ifndef METDB_CLI_COMMANDS_ADDCOMMAND_H_
#define METDB_CLI_COMMANDS_ADDCOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb add --name .. --country .. --continent .. --latitude ..
// --longitude .. [more fields]` to app: a new record, appended to the data
// file and entered in its group in the directory (see RecordEditor). A
// location with the same names, level and position must not exist yet.
// app and context are owned by the caller and outlive the parse and the
// run.
void addAddCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_ADDCOMMAND_H_
