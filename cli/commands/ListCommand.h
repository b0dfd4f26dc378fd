#ifndef METDB_CLI_COMMANDS_LISTCOMMAND_H_
#define METDB_CLI_COMMANDS_LISTCOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb list [FILTERS]` to app: the selected locations in walk order
// as an aligned table (record index, continent, country, state, name,
// level, latitude, longitude) and their count. The filters are those of
// Filters, --selection FILE among them. Reads only. app and context are
// owned by the caller and outlive the parse and the run.
void addListCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_LISTCOMMAND_H_
