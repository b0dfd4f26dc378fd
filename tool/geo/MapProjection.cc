#include "tool/geo/MapProjection.h"

#include <GeographicLib/AzimuthalEquidistant.hpp>
#include <GeographicLib/Constants.hpp>
#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/Math.hpp>
#include <GeographicLib/PolarStereographic.hpp>

#include <cmath>

namespace metdb {

namespace {

constexpr double kDegree = M_PI / 180.0;

// longitude - centre, reduced into -180..180.
double offsetFrom(double longitude, double centre) {
  return GeographicLib::Math::AngDiff(centre, longitude);
}

class Equirectangular : public MapProjection {
 public:
  Equirectangular(double centre, double parallel)
      : centre_(GeographicLib::Math::AngNormalize(centre)),
        xScale_(GeographicLib::Constants::WGS84_a() * std::cos(parallel * kDegree) * kDegree),
        yScale_(GeographicLib::Constants::WGS84_a() * kDegree) {}

  ProjectionKind kind() const override { return ProjectionKind::kEquirectangular; }

  bool forward(double latitude, double longitude, double* x, double* y) const override {
    if (!std::isfinite(latitude) || !std::isfinite(longitude)) return false;
    *x = offsetFrom(longitude, centre_) * xScale_;
    *y = latitude * yScale_;
    return true;
  }

  bool reverse(double x, double y, double* latitude, double* longitude) const override {
    double offset = x / xScale_;
    double lat = y / yScale_;
    if (!(std::fabs(offset) <= 180.0) || !(std::fabs(lat) <= 90.0)) return false;
    *latitude = lat;
    *longitude = GeographicLib::Math::AngNormalize(centre_ + offset);
    return true;
  }

  double centralLongitude() const override { return centre_; }
  bool singularPosition(double*, double*) const override { return false; }

 private:
  double centre_;
  double xScale_;  // metres per degree
  double yScale_;
};

class PolarStereographic : public MapProjection {
 public:
  PolarStereographic(bool north, double centre)
      : north_(north), centre_(GeographicLib::Math::AngNormalize(centre)) {}

  ProjectionKind kind() const override {
    return north_ ? ProjectionKind::kNorthPolar : ProjectionKind::kSouthPolar;
  }

  // GeographicLib puts longitude 0 straight down from the north pole and
  // straight up to the south pole; the central meridian takes its place.
  bool forward(double latitude, double longitude, double* x, double* y) const override {
    if (!std::isfinite(latitude) || !std::isfinite(longitude)) return false;
    if (latitude == (north_ ? -90.0 : 90.0)) return false;
    GeographicLib::PolarStereographic::UPS().Forward(north_, latitude,
                                                     offsetFrom(longitude, centre_), *x, *y);
    return std::isfinite(*x) && std::isfinite(*y);
  }

  bool reverse(double x, double y, double* latitude, double* longitude) const override {
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    double lon;
    GeographicLib::PolarStereographic::UPS().Reverse(north_, x, y, *latitude, lon);
    *longitude = GeographicLib::Math::AngNormalize(lon + centre_);
    return true;
  }

  double centralLongitude() const override { return centre_; }

  bool singularPosition(double* latitude, double* longitude) const override {
    *latitude = north_ ? -90.0 : 90.0;
    *longitude = centre_;
    return true;
  }

 private:
  bool north_;
  double centre_;
};

class Azimuthal : public MapProjection {
 public:
  Azimuthal(double latitude, double longitude)
      : latitude_(latitude),
        longitude_(GeographicLib::Math::AngNormalize(longitude)),
        projection_(GeographicLib::Geodesic::WGS84()) {}

  ProjectionKind kind() const override { return ProjectionKind::kAzimuthal; }

  bool forward(double latitude, double longitude, double* x, double* y) const override {
    if (!std::isfinite(latitude) || !std::isfinite(longitude)) return false;
    double azimuth, scale;
    projection_.Forward(latitude_, longitude_, latitude, longitude, *x, *y, azimuth, scale);
    // The antipode's image is a circle, not a point: GeographicLib flags it
    // with a scale of zero or less.
    return std::isfinite(*x) && std::isfinite(*y) && scale > 0.0;
  }

  bool reverse(double x, double y, double* latitude, double* longitude) const override {
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    double metres = std::hypot(x, y);
    // Half the shortest meridian: the farthest a geodesic from the centre
    // goes before it is no longer the shortest one.
    if (metres >
        GeographicLib::Constants::WGS84_a() * (1 - GeographicLib::Constants::WGS84_f()) * M_PI)
      return false;
    double azimuth, scale;
    projection_.Reverse(latitude_, longitude_, x, y, *latitude, *longitude, azimuth, scale);
    return std::isfinite(*latitude) && std::isfinite(*longitude);
  }

  double centralLongitude() const override { return longitude_; }

  bool singularPosition(double* latitude, double* longitude) const override {
    *latitude = -latitude_;
    *longitude = GeographicLib::Math::AngNormalize(longitude_ + 180.0);
    return true;
  }

 private:
  double latitude_;
  double longitude_;
  GeographicLib::AzimuthalEquidistant projection_;
};

}  // namespace

std::string projectionName(ProjectionKind kind) {
  switch (kind) {
    case ProjectionKind::kEquirectangular:
      return "equirectangular";
    case ProjectionKind::kNorthPolar:
      return "north-polar";
    case ProjectionKind::kSouthPolar:
      return "south-polar";
    case ProjectionKind::kAzimuthal:
      return "azimuthal";
  }
  return "";
}

std::unique_ptr<MapProjection> makeEquirectangular(double centralLongitude,
                                                   double standardParallel) {
  return std::make_unique<Equirectangular>(centralLongitude, standardParallel);
}

std::unique_ptr<MapProjection> makePolarStereographic(bool north, double centralLongitude) {
  return std::make_unique<PolarStereographic>(north, centralLongitude);
}

std::unique_ptr<MapProjection> makeAzimuthalEquidistant(double latitude, double longitude) {
  return std::make_unique<Azimuthal>(latitude, longitude);
}

}  // namespace metdb
