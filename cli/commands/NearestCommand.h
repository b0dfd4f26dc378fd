#ifndef METDB_CLI_COMMANDS_NEARESTCOMMAND_H_
#define METDB_CLI_COMMANDS_NEARESTCOMMAND_H_

#include "cli/ToolContext.h"

namespace metdb {

// Adds `metdb nearest LAT LON [-k N] [--max-km D] [--within D] [--format
// table|json] [--map FILE.png|FILE.svg [--map-width PX]] [FILTERS]` to app:
// the N (default 5) selected locations nearest to the point by geodesic
// distance on the WGS84 ellipsoid, nearest first, equal distances in walk
// order, each with its distance in kilometres and the initial bearing from
// the point; --map also draws them round the point (drawNearestMap), the
// file replaced only once complete. Positions are taken from the records.
// Locations whose record holds no usable position (not a number, or a
// latitude outside -90..90) are left out with a warning. A latitude outside
// -90..90, a longitude outside -180..180, N < 1 or a negative D is a usage
// error. Reads only. app and context are owned by the caller and outlive the
// parse and the run.
void addNearestCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_NEARESTCOMMAND_H_
