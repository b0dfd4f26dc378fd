#ifndef METDB_CLI_COMMANDS_CREATECOMMAND_H_
#define METDB_CLI_COMMANDS_CREATECOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb create STATIONS.csv [--skip-bad] [--force]` to app: a new
// database from a CSV station list, its records written grouped in
// hierarchy order, with its directory file. A faulty row stops the command
// with its line and column and nothing is written, unless --skip-bad, which
// reports each row it skips. An existing data file is replaced only with
// --force, and then only once the new one is complete: the new files are
// built in a work folder beside the data file and renamed into place. app
// and context are owned by the caller and outlive the parse and the run.
void addCreateCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_CREATECOMMAND_H_
