#ifndef METDB_CLI_COMMANDS_TREECOMMAND_H_
#define METDB_CLI_COMMANDS_TREECOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb tree [--depth 1..4]` to app: the hierarchy of the database's
// directory down to the given depth (1 continents, 2 countries, 3 states,
// 4 locations; default 3), indented, with the number of locations at every
// node. Reads only. app and context are owned by the caller and outlive the
// parse and the run.
void addTreeCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_TREECOMMAND_H_
