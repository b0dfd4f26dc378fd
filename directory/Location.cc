#include "directory/Location.h"

#include <cstring>

#include "platform/Stricmp.h"

Location::Location(const char* name) : VELDstring(name) {}

Location::Location(const LocationData& data, long index)
    : latitude(data.latitude), longitude(data.longitude), level(data.level), locationIndex(index) {
  // Assigned in place rather than through a temporary string: a rebuild
  // makes one of these per record.
  const void* end = std::memchr(data.name, '\0', sizeof data.name);
  assign(data.name, end ? static_cast<const char*>(end) - data.name : sizeof data.name);
}

bool operator<(const Location& a, const Location& b) {
  int byName = platform::stricmp(a.c_str(), b.c_str());
  if (byName != 0) return byName < 0;
  if (a.level != b.level) return a.level > b.level;
  if (a.latitude != b.latitude) return a.latitude < b.latitude;
  return a.longitude < b.longitude;
}

bool operator==(const Location& a, const Location& b) {
  return platform::stricmp(a.c_str(), b.c_str()) == 0 && a.level == b.level &&
         a.latitude == b.latitude && a.longitude == b.longitude;
}
