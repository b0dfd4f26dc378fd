#ifndef METDB_TOOL_RECORD_GEOJSONFEATURE_H_
#define METDB_TOOL_RECORD_GEOJSONFEATURE_H_

#include <nlohmann/json.hpp>
#include <string>

#include "datafile/LocationData.h"

namespace metdb {

// One record as a GeoJSON Feature (RFC 7946): "geometry" a Point at
// [longitude, latitude] and "properties" every field as recordToJson gives
// it (the record index as "index"), but each series as twelve numbers named
// as the station list's columns, "seriesA1" .. "seriesA12" and so on.
// A record whose position is not a point of the globe (not finite, or
// outside -90..90 / -180..180) gets "geometry": null, which the RFC allows
// for a feature without a place; *placed tells which it was.
nlohmann::ordered_json geoJsonFeature(const LocationData& record, long index, bool* placed);

// Appends to *out the same bytes as dumpJson(geoJsonFeature(record, index,
// placed), -1) gives, with the members of *more (an object; null or empty
// for none) added to "properties" after the record's, but some ten times
// faster: for exports of millions of records. *placed as geoJsonFeature
// sets it.
void appendGeoJsonFeature(std::string* out, const LocationData& record, long index,
                          const nlohmann::ordered_json* more, bool* placed);

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_GEOJSONFEATURE_H_
