#ifndef METDB_CLI_COMMANDS_MAPCOMMAND_H_
#define METDB_CLI_COMMANDS_MAPCOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb map [FILTERS] -o FILE.svg|FILE.png [--width PX] [--extent
// W,S,E,N | --world | --around LAT,LON --radius-km R] [--projection P]
// [--color-by continent|country|level] [--dot-size PX]` to app: a map of the
// selected locations (drawLocationMap), framed on them unless an extent, the
// world or a point is given, with the land of the data folder under the
// dots (without it, a warning, and the map without land), positions taken
// from the records. A selection of nothing still gives a picture, which
// says so; locations without a position on the globe are left out with a
// warning, and those outside the map are counted in the summary. FILE is
// written beside its final name and moved there complete, so a failure
// leaves any file of that name as it was. Another extension than .svg or
// .png (in any case), a width outside 300..8000, an extent or point that is
// not one, --around without --radius-km (or R outside 0..10000), or
// options that exclude each other are usage errors. Reads only. app and
// context are owned by the caller and outlive the parse and the run.
void addMapCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_MAPCOMMAND_H_
