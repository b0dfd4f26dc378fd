#ifndef METDB_TOOL_LISTS_GEOPACKAGEPOINTS_H_
#define METDB_TOOL_LISTS_GEOPACKAGEPOINTS_H_

#include <istream>
#include <string>

#include "tool/lists/ListedStation.h"

namespace metdb {

// Whether the start of a file is a GeoPackage: an SQLite database whose
// application id is "GPKG" (or the older "GP10", "GP11").
bool looksLikeGeoPackage(const std::string& start);

// The point layer of an OGC GeoPackage: the tool's own export's
// "locations" layer, else the first layer of features that gpkg_contents
// names. The position from the geometry (WGS 84 longitude/latitude, or an
// undefined geographic system), the fields from the columns named as the
// station list's ("name", "seriesA1", ...; column names ignore ASCII case),
// or as options.columns maps them. A station's "line" is its row's place in
// the layer, from 1. The whole file is read into memory from in; a file
// that is no GeoPackage, or whose layer is not in longitude/latitude, is
// fatal.
ListedStations readGeoPackagePoints(std::istream& in, const ListOptions& options);

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_GEOPACKAGEPOINTS_H_
