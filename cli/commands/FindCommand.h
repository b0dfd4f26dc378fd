#ifndef METDB_CLI_COMMANDS_FINDCOMMAND_H_
#define METDB_CLI_COMMANDS_FINDCOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb find TEXT [FILTERS] [--limit N] [--format table|csv|json]` to
// app: the locations whose name, state, country or continent matches TEXT
// ignoring case, accents and script (searchLocations), best first, each
// with how and where it matched. Reads only. app and context are owned by
// the caller and outlive the parse and the run.
void addFindCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_FINDCOMMAND_H_
