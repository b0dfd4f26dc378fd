#ifndef METDB_TOOL_GEO_MAPOUTLINES_H_
#define METDB_TOOL_GEO_MAPOUTLINES_H_

#include <string>
#include <vector>

#include "tool/geo/MapExtent.h"

namespace metdb {

class MapFrame;

// A closed ring of positions in degrees (the last point may repeat the
// first or not). Consecutive points are joined the short way round: a ring
// may cross the 180th meridian, and one that goes all the way round
// (Antarctica's coast) encircles the pole on its side.
using OutlineRing = std::vector<GeoPosition>;

// An area: its outer ring first, then its holes.
struct OutlinePolygon {
  std::vector<OutlineRing> rings;
  std::string name;  // a country's name; empty for land
};

// What a map draws under its dots: land (filled; its edges are the
// coastlines) and countries (their shared edges are the borders).
struct MapOutlines {
  std::vector<OutlinePolygon> land;
  std::vector<OutlinePolygon> countries;

  bool empty() const { return land.empty() && countries.empty(); }
};

// The detail of outlines: a whole world needs little, a region more.
enum class OutlineScale {
  kCoarse,  // 1:110 million
  kFine,    // 1:50 million
};

// The scale a frame calls for: fine when the ground it shows is less than
// 8000 km across at its middle, else coarse.
OutlineScale outlineScaleFor(const MapFrame& frame);

// Where a map gets its outlines from (a data folder, a test's own shapes).
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
