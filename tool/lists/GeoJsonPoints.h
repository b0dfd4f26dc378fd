#ifndef METDB_TOOL_LISTS_GEOJSONPOINTS_H_
#define METDB_TOOL_LISTS_GEOJSONPOINTS_H_

#include <istream>

#include "tool/lists/ListedStation.h"

namespace metdb {

// A GeoJSON FeatureCollection (RFC 7946) of Point features: the position
// from the geometry, the fields from the properties, named as the station
// list's columns ("name", "state", "country", "continent", "level",
// "auxValue", "seriesA1", ...; the tool's own export reads back whole), or
// as options.columns maps them (name=NAME for a GIS file's properties; a
// country may be given as country-iso or country-fips). The "line" of a
// station is its feature's position in the collection, from 1. The whole
// text is parsed at once.
ListedStations readGeoJsonPoints(std::istream& in, const ListOptions& options);

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_GEOJSONPOINTS_H_
