#ifndef METDB_TOOL_RECORD_GEOPACKAGEGEOMETRY_H_
#define METDB_TOOL_RECORD_GEOPACKAGEGEOMETRY_H_

#include <cstddef>
#include <string>

namespace metdb {

// A point as a GeoPackage geometry blob: the "GP" header (version 0,
// little-endian, no envelope) with srsId, then the point in well-known
// binary, x (longitude) before y (latitude).
std::string geoPackagePoint(double x, double y, int srsId);

// Reads the point of a GeoPackage geometry blob (either byte order, any
// envelope, a 2D, Z, M or ZM point). Returns false, with *why a phrase, for
// a blob that is not one, or an empty point.
bool readGeoPackagePoint(const unsigned char* blob, std::size_t size, double* x, double* y,
                         std::string* why);

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_GEOPACKAGEGEOMETRY_H_
