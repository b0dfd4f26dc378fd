#include "tool/geo/MapExtent.h"

#include <algorithm>
#include <cmath>

#include "tool/Error.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// longitude reduced into -180..180 (180 stays 180).
double reduce(double longitude) {
  double r = std::fmod(longitude, 360.0);
  if (r < -180.0) r += 360.0;
  if (r > 180.0) r -= 360.0;
  return r;
}

// Degrees eastwards from a to b, 0 <= result < 360.
double eastwards(double a, double b) {
  double d = std::fmod(b - a, 360.0);
  return d < 0.0 ? d + 360.0 : d;
}

}  // namespace

MapExtent MapExtent::world() { return MapExtent(); }

MapExtent MapExtent::around(const std::vector<GeoPosition>& positions) {
  if (positions.empty()) return world();
  MapExtent extent;
  extent.south = 90.0;
  extent.north = -90.0;
  std::vector<double> longitudes;
  longitudes.reserve(positions.size());
  for (const GeoPosition& p : positions) {
    extent.south = std::min(extent.south, p.latitude);
    extent.north = std::max(extent.north, p.latitude);
    longitudes.push_back(reduce(p.longitude));
  }
  std::sort(longitudes.begin(), longitudes.end());
  longitudes.erase(std::unique(longitudes.begin(), longitudes.end()), longitudes.end());
  // The extent's longitudes are the circle less its widest gap between
  // neighbouring positions; the gap across the 180th meridian closes the
  // circle.
  double gap = longitudes.front() + 360.0 - longitudes.back();
  std::size_t after = 0;  // the first position east of the widest gap
  for (std::size_t i = 1; i < longitudes.size(); ++i) {
    double g = longitudes[i] - longitudes[i - 1];
    if (g > gap) {
      gap = g;
      after = i;
    }
  }
  if (gap < 120.0) return {-180.0, extent.south, 180.0, extent.north};
  extent.west = longitudes[after];
  extent.east = longitudes[(after + longitudes.size() - 1) % longitudes.size()];
  return extent;
}

MapExtent MapExtent::parse(const std::string& textValue) {
  std::vector<std::string> parts = text::split(textValue, ',');
  auto fail = [&](const std::string& why) {
    throw Error("--extent: " + why + " (expected WEST,SOUTH,EAST,NORTH in degrees).",
                Error::Cause::kBadInput);
  };
  if (parts.size() != 4) fail(text::quoted(textValue) + " is not four numbers");
  double v[4];
  for (int i = 0; i < 4; ++i) {
    if (!text::parseNumber(parts[i], &v[i]) || !std::isfinite(v[i])) {
      fail(text::quoted(parts[i]) + " is not a number");
    }
  }
  MapExtent e{v[0], v[1], v[2], v[3]};
  for (double longitude : {e.west, e.east}) {
    if (std::fabs(longitude) > 180.0) {
      fail("longitude " + text::quoted(text::shortestFloat(static_cast<float>(longitude))) +
           " is outside -180..180");
    }
  }
  for (double latitude : {e.south, e.north}) {
    if (std::fabs(latitude) > 90.0) {
      fail("latitude " + text::quoted(text::shortestFloat(static_cast<float>(latitude))) +
           " is outside -90..90");
    }
  }
  if (!(e.south < e.north)) fail("SOUTH is not below NORTH");
  if (e.west == e.east) fail("WEST equals EAST");
  return e;
}

double MapExtent::longitudeSpan() const {
  if (east - west >= 360.0) return 360.0;
  if (west == east) return 0.0;  // a single meridian
  return eastwards(west, east);
}

double MapExtent::centralLongitude() const {
  if (allLongitudes()) return 0.0;
  return reduce(west + longitudeSpan() / 2.0);
}

bool MapExtent::holdsLongitude(double longitude) const {
  return allLongitudes() || eastwards(west, longitude) <= longitudeSpan();
}

ProjectionKind MapExtent::suggestedProjection() const {
  double span = longitudeSpan();
  if (south >= 45.0 && (north > 80.0 || (north > 66.0 && span >= 100.0))) {
    return ProjectionKind::kNorthPolar;
  }
  if (north <= -45.0 && (south < -80.0 || (south < -66.0 && span >= 100.0))) {
    return ProjectionKind::kSouthPolar;
  }
  return ProjectionKind::kEquirectangular;
}

}  // namespace metdb
