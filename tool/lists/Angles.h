#ifndef METDB_TOOL_LISTS_ANGLES_H_
#define METDB_TOOL_LISTS_ANGLES_H_

#include <string>

namespace metdb {

// Reads a latitude (isLatitude) or longitude in degrees from text: a
// decimal number ("47.3769", "-8.5") or degrees, minutes and seconds as
// published lists write them ("47°22'37\"N", "8d32'E", "47:22:37N",
// "47 22 37 N"). A hemisphere letter must fit the kind (N/S for a
// latitude). Returns "" and sets *degrees, or what is wrong as a phrase
// without a period (not a number or angle, outside -90..90 / -180..180,
// a hemisphere of the other kind).
std::string readAngle(const std::string& text, bool isLatitude, double* degrees);

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_ANGLES_H_
