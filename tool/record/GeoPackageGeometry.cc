#include "tool/record/GeoPackageGeometry.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace metdb {

namespace {

void putLittle(std::string* out, const void* value, std::size_t size) {
  // Every platform the tool is built for is little-endian, as the header's
  // flags say.
  out->append(static_cast<const char*>(value), size);
}

// A 4- or 8-byte value at p, in little-endian (little) or big-endian order.
template <typename T>
T take(const unsigned char* p, bool little) {
  unsigned char bytes[sizeof(T)];
  for (std::size_t i = 0; i < sizeof(T); ++i) bytes[i] = little ? p[i] : p[sizeof(T) - 1 - i];
  T value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

}  // namespace

std::string geoPackagePoint(double x, double y, int srsId) {
  std::string out = "GP";
  out.push_back('\0');    // version 1
  out.push_back('\x01');  // little-endian, no envelope, not empty, standard
  std::int32_t srs = srsId;
  putLittle(&out, &srs, sizeof srs);
  out.push_back('\x01');   // little-endian WKB
  std::uint32_t type = 1;  // Point
  putLittle(&out, &type, sizeof type);
  putLittle(&out, &x, sizeof x);
  putLittle(&out, &y, sizeof y);
  return out;
}

bool readGeoPackagePoint(const unsigned char* blob, std::size_t size, double* x, double* y,
                         std::string* why) {
  if (size < 8 || blob[0] != 'G' || blob[1] != 'P') {
    *why = "the geometry is not a GeoPackage geometry";
    return false;
  }
  unsigned flags = blob[3];
  static const std::size_t kEnvelopeBytes[8] = {0, 32, 48, 48, 64, 0, 0, 0};
  unsigned envelope = (flags >> 1) & 7;
  if (envelope > 4) {
    *why = "the geometry's header names no known envelope";
    return false;
  }
  if ((flags & 0x10) != 0) {
    *why = "the geometry is empty";
    return false;
  }
  std::size_t at = 8 + kEnvelopeBytes[envelope];
  if (size < at + 21) {
    *why = "the geometry is not a point";
    return false;
  }
  bool little = blob[at] == 1;
  std::uint32_t type = take<std::uint32_t>(blob + at + 1, little);
  if (type != 1 && type != 1001 && type != 2001 && type != 3001) {
    *why = "the geometry is not a point";
    return false;
  }
  *x = take<double>(blob + at + 5, little);
  *y = take<double>(blob + at + 13, little);
  if (std::isnan(*x) && std::isnan(*y)) {
    *why = "the geometry is empty";
    return false;
  }
  return true;
}

}  // namespace metdb
