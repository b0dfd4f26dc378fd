#ifndef METDB_TOOL_DATABASE_POSITIONDIAGNOSIS_H_
#define METDB_TOOL_DATABASE_POSITIONDIAGNOSIS_H_

#include <string>

#include "tool/places/CountryCheck.h"

namespace metdb {

// The kinds of slip that diagnosePosition recognises.
enum class PositionSlip { kNone, kSwapped, kSign, kDecimalPoint, kMinutes };

// A slip that explains a position, with the position corrected.
struct PositionDiagnosis {
  PositionSlip slip = PositionSlip::kNone;
  std::string text;  // "latitude and longitude swapped? 60.17, 24.94 lies in Finland"
};

// How the position latitude, longitude of a location in country may have
// been mistyped, when one slip explains it: latitude and longitude
// swapped (with or without a lost sign); a lost or added sign of either
// or both; a decimal point moved by one or two places in either or both;
// degrees and minutes (46.59 for 46°59') read as decimal degrees. The
// first of these whose corrected position lies within kDiagnosisKm of the
// country (by kmOutside) is named with that position. kNone with an empty
// text when none does, or the country is not known. Calls kmOutside some
// tens of times; throws only what it throws.
PositionDiagnosis diagnosePosition(const std::string& country, double latitude, double longitude,
                                   const CountryDistance& kmOutside);

// How near its country a corrected position must come to explain a slip:
// coastlines are coarse, and stations stand on capes.
constexpr double kDiagnosisKm = 5.0;

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_POSITIONDIAGNOSIS_H_
