#ifndef METDB_CLI_COMMANDS_COMPACTCOMMAND_H_
#define METDB_CLI_COMMANDS_COMPACTCOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb compact` to app: rewrites the data file in directory order
// with BMTFile::remakeDatabase, dropping records that no location refers
// to, and reports the records before and after. When the directory held a
// group more than once (a data file whose groups were split), the
// directory is rebuilt from the compacted records and the compaction
// repeated until every group occurs once. app and context are owned by the
// caller and outlive the parse and the run.
void addCompactCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_COMPACTCOMMAND_H_
