#ifndef METDB_CLI_COMMANDS_VALIDATECOMMAND_H_
#define METDB_CLI_COMMANDS_VALIDATECOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb validate STATIONS.csv` to app: reads a station list as
// `create` would, reports every warning and every faulty row (with its line
// and column) to the error stream and a summary to the output stream. Exit
// status 0 when the list is good (warnings allowed), 1 when any row is
// faulty or the file cannot be read. Writes nothing. app and context are
// owned by the caller and outlive the parse and the run.
void addValidateCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_VALIDATECOMMAND_H_
