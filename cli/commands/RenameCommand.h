#ifndef METDB_CLI_COMMANDS_RENAMECOMMAND_H_
#define METDB_CLI_COMMANDS_RENAMECOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb rename PATH NEWNAME [--dry-run]` to app: renames the
// continent, country, state or location that PATH names, changing the
// records of every location under it in one rewrite of the data file
// (BulkEdit::rename); a group renamed onto an existing one joins it. app
// and context are owned by the caller and outlive the parse and the run.
void addRenameCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_RENAMECOMMAND_H_
