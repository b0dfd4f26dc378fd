#ifndef METDB_TOOL_GEO_MAPOUTLINES_H_
#define METDB_TOOL_GEO_MAPOUTLINES_H_

#include <string>
#include <vector>

#include "tool/geo/MapExtent.h"
#include "tool/places/OutlineFile.h"

namespace metdb {

class MapFrame;

// A closed ring of positions in degrees (the last point may repeat the
// first or not). Consecutive points are joined the short way round: a ring
// may cross the 180th meridian, and one that goes all the way round
// (Antarctica's coast) encircles the pole on its side.
using MapRing = std::vector<GeoPosition>;

// An area: its outer ring first, then its holes.
struct MapPolygon {
  std::vector<MapRing> rings;
  std::string name;  // a country's name; empty for land
};

// What a map draws under its dots: land (filled; its edges are the
// coastlines) and countries (their shared edges are the borders).
struct MapOutlines {
  std::vector<MapPolygon> land;
  std::vector<MapPolygon> countries;

  bool empty() const { return land.empty() && countries.empty(); }
};

// The scale a frame calls for: 1:50m when the ground it shows is less than
// 8000 km across at its middle, else 1:110m (a whole world needs little
// detail, a region more).
OutlineScale outlineScaleFor(const MapFrame& frame);

// Where a map gets its outlines from (the data folder's files, a test's own
// shapes).
class OutlineSource {
 public:
  virtual ~OutlineSource() = default;
  // The outlines at scale, loaded on first use and owned by the source;
  // nullptr when it has none at any scale (the map is drawn without them).
  // A source that has only one scale may give it for both. Throws Error
  // when its data is there but cannot be read.
  virtual const MapOutlines* outlines(OutlineScale scale) = 0;
};

}  // namespace metdb

#endif  // METDB_TOOL_GEO_MAPOUTLINES_H_
