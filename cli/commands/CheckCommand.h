#ifndef METDB_CLI_COMMANDS_CHECKCOMMAND_H_
#define METDB_CLI_COMMANDS_CHECKCOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb check` to app: checks that the data file's length is a whole
// number of records, that the directory file reads, that every location's
// names, level and coordinates agree with its record (and that its record
// exists and no other location refers to it), that every record is referred
// to by a location, that no group occurs twice in the directory, and that
// the data file keeps its groups together. Writes a report; exit status 1
// when anything is wrong. Reads only. app and context are owned by the
// caller and outlive the parse and the run.
void addCheckCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_CHECKCOMMAND_H_
