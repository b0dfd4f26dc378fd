#ifndef METDB_CLI_COMMANDS_SHOWCOMMAND_H_
#define METDB_CLI_COMMANDS_SHOWCOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb show INDEX` and `metdb show CONTINENT/COUNTRY/STATE/NAME` to
// app: every field of one record, the five series as a table of twelve
// columns. A path that names several locations (equal names of different
// levels or places) shows each. Reads only. app and context are owned by
// the caller and outlive the parse and the run.
void addShowCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_SHOWCOMMAND_H_
