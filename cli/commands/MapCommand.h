#ifndef METDB_CLI_COMMANDS_MAPCOMMAND_H_
#define METDB_CLI_COMMANDS_MAPCOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb map [FILTERS] -o FILE.svg|FILE.png [--width PX]` to app: a
// picture of the selected locations on a world frame (WorldMap), a dot per
// location coloured by its continent, positions taken from the records. The
// title gives the database, the number of locations and the filters. A
// selection of nothing still gives a picture, which says so; locations
// without a position on the globe are left out with a warning. FILE is
// written beside its final name and moved there complete, so a failure
// leaves any file of that name as it was. Another extension than .svg or
// .png (in any case), or a width outside 300..8000, is a usage error. Reads
// only. app and context are owned by the caller and outlive the parse and
// the run.
void addMapCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_MAPCOMMAND_H_
