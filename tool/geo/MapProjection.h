#ifndef METDB_TOOL_GEO_MAPPROJECTION_H_
#define METDB_TOOL_GEO_MAPPROJECTION_H_

#include <memory>
#include <string>

namespace metdb {

// The projections a map can be drawn in.
enum class ProjectionKind {
  kEquirectangular,  // longitude across, latitude up
  kNorthPolar,       // polar stereographic around the north pole
  kSouthPolar,       // polar stereographic around the south pole
  kAzimuthal,        // azimuthal equidistant around a point
};

// The name the command line uses for kind ("equirectangular",
// "north-polar", "south-polar", "azimuthal").
std::string projectionName(ProjectionKind kind);

// A map projection of the WGS84 ellipsoid onto a plane, in metres, with x
// to the east of the picture and y to its top. Stateless after
// construction: one object may be shared and used from several threads.
class MapProjection {
 public:
  virtual ~MapProjection() = default;

  virtual ProjectionKind kind() const = 0;

  // Projects a position (latitude -90..90, any finite longitude) into
  // *x, *y. Returns false (*x and *y then mean nothing) where the projection
  // has no finite image (the opposite pole of a polar projection, the
  // antipode of an azimuthal one) or the position is not finite.
  virtual bool forward(double latitude, double longitude, double* x, double* y) const = 0;

  // The position of a point of the plane, longitude within -180..180.
  // Returns false where the plane has no position (outside the world's
  // strip of an equirectangular plane, past the antipode's circle of an
  // azimuthal one).
  virtual bool reverse(double x, double y, double* latitude, double* longitude) const = 0;

  // The meridian drawn straight up the middle of the picture (degrees).
  virtual double centralLongitude() const = 0;

  // The one position that has no image (the opposite pole of a polar
  // projection, the antipode of an azimuthal one's centre): returns true
  // and sets it, or false when every position has one. A region that holds
  // this position is drawn inside out unless the drawing allows for it.
  virtual bool singularPosition(double* latitude, double* longitude) const = 0;
};

// Equirectangular: x = a·cos(standard parallel)·(longitude − central
// meridian, reduced into −180..180), y = a·latitude (radians; a the WGS84
// equatorial radius). A standard parallel away from the equator keeps the
// shapes of a region far from it (latitude 50: a degree of longitude is
// drawn 0.64 of a degree of latitude). The meridian opposite the central
// one is the plane's seam, at x = ±a·cos(parallel)·π.
std::unique_ptr<MapProjection> makeEquirectangular(double centralLongitude,
                                                   double standardParallel);

// Polar stereographic (GeographicLib::PolarStereographic::UPS(): scale
// 0.994 at the pole, no false easting), rotated so that centralLongitude
// runs straight down from the north pole (north) or straight up to the
// south pole (south), as maps of either pole are usually drawn.
std::unique_ptr<MapProjection> makePolarStereographic(bool north, double centralLongitude);

// Azimuthal equidistant around (latitude, longitude) on the WGS84
// ellipsoid (GeographicLib::AzimuthalEquidistant): every point's distance
// from the centre is its geodesic distance, its direction the geodesic's
// initial azimuth (north up).
std::unique_ptr<MapProjection> makeAzimuthalEquidistant(double latitude, double longitude);

}  // namespace metdb

#endif  // METDB_TOOL_GEO_MAPPROJECTION_H_
