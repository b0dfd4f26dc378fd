#ifndef METDB_TOOL_RECORD_RECORDPOSITION_H_
#define METDB_TOOL_RECORD_RECORDPOSITION_H_

#include <cmath>
#include <cstring>

#include "datafile/LocationData.h"

namespace metdb {

// A record's latitude and longitude in degrees, copied out of the packed
// record (a reference to its members would be misaligned).
struct RecordPosition {
  float latitude;
  float longitude;

  explicit RecordPosition(const LocationData& record) {
    std::memcpy(&latitude, &record.latitude, sizeof latitude);
    std::memcpy(&longitude, &record.longitude, sizeof longitude);
  }

  // Whether the position is a point of the globe as maps and GIS files
  // take it: both numbers finite, the latitude within -90..90 and the
  // longitude within -180..180.
  bool onGlobe() const {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90.0f &&
           std::fabs(longitude) <= 180.0f;
  }
};

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_RECORDPOSITION_H_
