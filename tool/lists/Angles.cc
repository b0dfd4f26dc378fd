#include "tool/lists/Angles.h"

#include <GeographicLib/DMS.hpp>
#include <cmath>

#include "tool/text/Text.h"

namespace metdb {

std::string readAngle(const std::string& raw, bool isLatitude, double* degrees) {
  std::string text = text::trimBlanks(raw);
  if (text.empty()) return "is empty";
  double value;
  if (!text::parseNumber(text, &value)) {
    GeographicLib::DMS::flag hemisphere;
    try {
      value = GeographicLib::DMS::Decode(text, hemisphere);
    } catch (const std::exception&) {
      return text::quoted(raw) + " is neither a number nor degrees, minutes and seconds";
    }
    if ((isLatitude && hemisphere == GeographicLib::DMS::LONGITUDE) ||
        (!isLatitude && hemisphere == GeographicLib::DMS::LATITUDE)) {
      return text::quoted(raw) + " is a " + (isLatitude ? "longitude" : "latitude");
    }
    if (!std::isfinite(value)) return text::quoted(raw) + " is not a number";
  }
  double limit = isLatitude ? 90.0 : 180.0;
  if (!(std::fabs(value) <= limit)) {
    return text::quoted(raw) + " is outside " + (isLatitude ? "-90..90" : "-180..180");
  }
  *degrees = value;
  return "";
}

}  // namespace metdb
