#ifndef METDB_COMMON_LOCATIONDATA_H_
#define METDB_COMMON_LOCATIONDATA_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/Export.h"

// The record of one location, identical in memory and in the data file: 331
// bytes, byte-packed, little-endian, floats in IEEE 754 single precision.
// The data file is a plain run of these records; record N lies at byte
// N * 331.
//
// The four name fields hold single-byte text up to the first NUL; the bytes
// after it have no meaning but are kept as they are whenever a record is
// copied. The library interprets only the names, level and coordinates;
// auxValue and the five series belong to the applications and are carried
// unchanged.
#pragma pack(push, 1)
class METDB_EXPORT LocationData {
 public:
  // An empty record: the first byte of each name NUL, every number zero. The
  // other bytes of the name fields are left as they are.
  LocationData();

  char name[21];             // at most 20 characters
  char state[31];            // at most 30 characters
  char country[31];          // at most 30 characters
  char continent[21];        // at most 20 characters
  std::int8_t level;         // compared with a selection's levelLimit
  float latitude;            // degrees
  float longitude;           // degrees
  std::int16_t auxValue;     // the application's own value
  float seriesA[12];         // twelve values of the application's
  float seriesB[12];         // twelve values of the application's
  std::int16_t seriesC[12];  // twelve values of the application's
  float seriesD[12];         // twelve values of the application's
  float seriesE[12];         // twelve values of the application's
};
#pragma pack(pop)

static_assert(sizeof(LocationData) == 331, "LocationData must be 331 bytes");
static_assert(offsetof(LocationData, name) == 0, "name offset");
static_assert(offsetof(LocationData, state) == 21, "state offset");
static_assert(offsetof(LocationData, country) == 52, "country offset");
static_assert(offsetof(LocationData, continent) == 83, "continent offset");
static_assert(offsetof(LocationData, level) == 104, "level offset");
static_assert(offsetof(LocationData, latitude) == 105, "latitude offset");
static_assert(offsetof(LocationData, longitude) == 109, "longitude offset");
static_assert(offsetof(LocationData, auxValue) == 113, "auxValue offset");
static_assert(offsetof(LocationData, seriesA) == 115, "seriesA offset");
static_assert(offsetof(LocationData, seriesB) == 163, "seriesB offset");
static_assert(offsetof(LocationData, seriesC) == 211, "seriesC offset");
static_assert(offsetof(LocationData, seriesD) == 235, "seriesD offset");
static_assert(offsetof(LocationData, seriesE) == 283, "seriesE offset");

// The size of one record in the data file.
constexpr long kLocationDataSize = static_cast<long>(sizeof(LocationData));

// The text of a name field: the bytes up to the first NUL, or the whole
// field when it holds none (a damaged or crafted record). Never reads past
// the field.
template <std::size_t N>
inline std::string fieldText(const char (&field)[N]) {
  const void* end = std::memchr(field, '\0', N);
  std::size_t length = end ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : N;
  return std::string(field, length);
}

#endif  // METDB_COMMON_LOCATIONDATA_H_
