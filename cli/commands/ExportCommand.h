#ifndef METDB_CLI_COMMANDS_EXPORTCOMMAND_H_
#define METDB_CLI_COMMANDS_EXPORTCOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb export [--format csv|json] [--output FILE] [FILTERS]` to app:
// every field of each selected record, the series too, in walk order. CSV
// is a station list that `create` reads back; JSON is an array of objects
// (see RecordJson.h). With --output the text goes to a new file that
// replaces FILE only once it is complete. Reads only. app and context are
// owned by the caller and outlive the parse and the run.
void addExportCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_EXPORTCOMMAND_H_
