#ifndef METDB_DIRECTORY_LOCATION_H_
#define METDB_DIRECTORY_LOCATION_H_

#include <cstdint>

#include "common/LocationData.h"
#include "directory/VELDstring.h"
#include "platform/Export.h"

// A directory entry for one record of the data file. The VELDstring base is
// the location's name. Owned by its State; the directory's location list
// refers to it without owning it.
class METDB_EXPORT Location : public VELDstring {
 public:
  // A location with the given name, level 0, coordinates 0 and record
  // index 0.
  explicit Location(const char* name);
  // A location for record `index`: name, level and coordinates are taken
  // from the record; the name is read no further than its field.
  Location(const LocationData& data, long index);

  Location(const Location&) = delete;
  Location& operator=(const Location&) = delete;

  float latitude = 0.0f;   // the record's latitude, in degrees
  float longitude = 0.0f;  // the record's longitude, in degrees
  std::int8_t level = 0;   // the record's level
  long locationIndex = 0;  // record index in the data file
  long locListIndex = -1;  // position in the location list, set by setLocListIndices
};

// Order of locations: by name ignoring case; then higher level first; then
// smaller latitude; then smaller longitude. The record indices take no part.
METDB_EXPORT bool operator<(const Location& a, const Location& b);
// Equal names ignoring case, equal level, latitude and longitude.
METDB_EXPORT bool operator==(const Location& a, const Location& b);

#endif  // METDB_DIRECTORY_LOCATION_H_
