#ifndef METDB_TOOL_PLACES_COUNTRYSHAPES_H_
#define METDB_TOOL_PLACES_COUNTRYSHAPES_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "tool/places/OutlineFile.h"

namespace metdb {

// Where countries are: which country's outline holds a position, and how
// far a position lies from a country.
//
// Containment is decided in the plane of longitude and latitude, where the
// outlines are drawn (their edges are straight there), by the even-odd
// rule over a polygon's rings. A 1-degree grid lists the polygons whose
// bounding box reaches each cell, and each polygon keeps its edges in
// bands of latitude, so that a position is tested against the few edges
// that cross its latitude in the few polygons near it, not against the
// whole outline: a million positions take well under a second.
class CountryShapes {
 public:
  // The radius of the sphere distances are measured on (the mean radius
  // of the WGS84 ellipsoid, IUGG).
  static constexpr double kEarthRadiusKm = 6371.0088;

  // Indexes the outlines that have a country code; those without one (land,
  // Siachen Glacier) are left out. Several outlines with one code are one
  // country. Takes some tens of milliseconds for the 1:50m outlines.
  explicit CountryShapes(const std::vector<Outline>& outlines);

  // The countries' outlines of the data folder at scale
  // (countryOutlinesPath). Throws Error as readOutlines does.
  static CountryShapes load(OutlineScale scale);

  // The ISO 3166-1 alpha-2 code of the country whose outline holds the
  // position (degrees; any finite longitude, reduced to -180..180); empty
  // when none does (the sea, or an area of no country), and for a position
  // off the globe (not finite, or latitude beyond ±90). A position exactly
  // on a border may fall in either country, or in neither.
  std::string countryAt(double latitude, double longitude) const;

  // Whether the outlines hold the country iso2 (alpha-2, as the outline
  // file gives it). Small island countries have none at 1:110m.
  bool hasOutline(const std::string& iso2) const;

  // The distance in kilometres from the position to the country of iso2: 0
  // when its outline holds the position, else the great-circle distance on
  // a sphere of kEarthRadiusKm to the nearest point of its outline, edges
  // included (not only their ends), across the 180th meridian and over the
  // poles as anywhere else. The outline's edges are followed as drawn in
  // the plane, in steps of at most a quarter degree. Within 0.5% of the
  // WGS84 geodesic distance. Throws Error for a position off the globe and
  // for a code of no outline (hasOutline).
  double distanceKm(double latitude, double longitude, const std::string& iso2) const;

 private:
  struct Edge {
    double x1, y1, x2, y2;  // longitude, latitude
  };
  // An outer ring with its holes, with its edges by bands of latitude.
  struct Polygon {
    std::size_t country;
    double west, east, south, north;
    std::size_t firstEdge;  // in edges_: its edges follow
    long firstBand;         // the band of south
    std::size_t bandCount;
    std::size_t firstBandStart;  // in bandStarts_: bandCount + 1 entries
  };
  // A point on the unit sphere: x towards 0°E on the equator, y towards
  // 90°E, z towards the north pole.
  using Vector = std::array<double, 3>;
  // A run of consecutive points of a ring on the unit sphere, the edges
  // between them, and a cap that holds them all.
  struct Chunk {
    Vector centre;
    double radius;      // radians
    std::size_t first;  // in points_: the chunk's edges join points first..
    std::size_t count;  // ..first + count
  };
  struct Country {
    std::string iso2;
    std::vector<std::size_t> polygons;
    std::size_t firstChunk, chunkCount;  // in chunks_
  };

  void addPolygon(std::size_t country, const std::vector<const OutlineRing*>& rings);
  void addChunks(const std::vector<LonLat>& ring);
  void buildGrid();
  bool inside(const Polygon& polygon, double x, double y) const;
  double angleToChunk(const Vector& p, const Chunk& chunk) const;

  std::vector<Country> countries_;
  std::unordered_map<std::string, std::size_t> byCode_;
  std::vector<Polygon> polygons_;
  std::vector<Edge> edges_;
  std::vector<std::uint32_t> bandStarts_;  // per polygon and band: where its edges begin
  std::vector<std::uint32_t> bandEdges_;   // indices in edges_
  std::vector<std::uint32_t> cellStarts_;  // per grid cell: where its polygons begin
  std::vector<std::uint32_t> cellPolygons_;
  std::vector<Vector> points_;
  std::vector<Chunk> chunks_;
};

}  // namespace metdb

#endif  // METDB_TOOL_PLACES_COUNTRYSHAPES_H_
