#ifndef METDB_CLI_COMMANDS_INFOCOMMAND_H_
#define METDB_CLI_COMMANDS_INFOCOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb info` to app: the database's file names and sizes, its
// record count, its location, continent, country and state counts, and
// whether the directory file is missing, fresh, out of date or damaged.
// Reads only. app and context are owned by the caller and outlive the
// parse and the run.
void addInfoCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_INFOCOMMAND_H_
