#include "tool/database/PositionDiagnosis.h"

#include <cmath>
#include <vector>

#include "tool/text/Text.h"

namespace metdb {

namespace {

struct Candidate {
  double latitude;
  double longitude;
  PositionSlip slip;
  const char* text;
};

// d.mm read as degrees and minutes: d + mm/60, where the fraction can be
// minutes at all (below .60); NaN where it cannot.
double fromDegreesMinutes(double value) {
  double magnitude = std::fabs(value);
  double degrees = std::floor(magnitude);
  // Rounded to a millionth, as the value was typed with few decimals and
  // stored in a float (104.45 is 104.449997).
  double fraction = std::round((magnitude - degrees) * 1e6) / 1e6;
  if (fraction >= 0.6) return std::nan("");
  return std::copysign(degrees + fraction * 100.0 / 60.0, value);
}

std::vector<Candidate> candidates(double lat, double lon) {
  const PositionSlip swapped = PositionSlip::kSwapped, sign = PositionSlip::kSign;
  std::vector<Candidate> out = {
      {lon, lat, swapped, "latitude and longitude swapped?"},
      {-lat, lon, sign, "the latitude's sign lost or added?"},
      {lat, -lon, sign, "the longitude's sign lost or added?"},
      {-lat, -lon, sign, "both signs lost or added?"},
      {lon, -lat, swapped, "swapped, and a sign lost or added?"},
      {-lon, lat, swapped, "swapped, and a sign lost or added?"},
      {-lon, -lat, swapped, "swapped, and both signs lost or added?"},
  };
  const char* const point = "a decimal point in the wrong place?";
  for (double f : {10.0, 0.1, 100.0, 0.01}) {
    out.push_back({lat * f, lon, PositionSlip::kDecimalPoint, point});
    out.push_back({lat, lon * f, PositionSlip::kDecimalPoint, point});
    out.push_back({lat * f, lon * f, PositionSlip::kDecimalPoint, point});
  }
  const char* const minutes = "degrees and minutes read as decimal degrees?";
  double mlat = fromDegreesMinutes(lat), mlon = fromDegreesMinutes(lon);
  out.push_back({mlat, mlon, PositionSlip::kMinutes, minutes});
  out.push_back({mlat, lon, PositionSlip::kMinutes, minutes});
  out.push_back({lat, mlon, PositionSlip::kMinutes, minutes});
  return out;
}

// Coordinates as a person would type them: at most five decimals.
std::string coordinate(double value) {
  return text::shortestFloat(static_cast<float>(std::round(value * 1e5) / 1e5));
}

}  // namespace

PositionDiagnosis diagnosePosition(const std::string& country, double latitude, double longitude,
                                   const CountryDistance& kmOutside) {
  for (const Candidate& c : candidates(latitude, longitude)) {
    if (!(std::fabs(c.latitude) <= 90.0 && std::fabs(c.longitude) <= 180.0)) continue;
    if (c.latitude == latitude && c.longitude == longitude) continue;
    double km = kmOutside(country, c.latitude, c.longitude);
    if (km < 0.0) return {};  // a country of no outline
    if (km <= kDiagnosisKm) {
      return {c.slip, std::string(c.text) + " " + coordinate(c.latitude) + ", " +
                          coordinate(c.longitude) + " lies in " + country};
    }
  }
  return {};
}

}  // namespace metdb
