#ifndef METDB_CLI_COMMANDS_IMPORTCOMMAND_H_
#define METDB_CLI_COMMANDS_IMPORTCOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb import SOURCE [--replace]` to app: merges the records of the
// database whose data file is SOURCE into this one with BMTFile::merge, in
// hierarchy order. Of two equal records (same names, level and position)
// this database's is kept, or with --replace the source's. A progress bar
// with a count and the current location is drawn on standard error when it
// is a terminal; the closing report is written in any case. The source's
// files are only read: the import works on a copy of them. app and context
// are owned by the caller and outlive the parse and the run.
void addImportCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_IMPORTCOMMAND_H_
