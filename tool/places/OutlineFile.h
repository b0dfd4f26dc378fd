#ifndef METDB_TOOL_PLACES_OUTLINEFILE_H_
#define METDB_TOOL_PLACES_OUTLINEFILE_H_

#include <string>
#include <vector>

namespace metdb {

// A point of an outline, in degrees: longitude -180..180, latitude -90..90.
struct LonLat {
  double longitude;
  double latitude;
};

// A closed ring of an outline in the plane of longitude and latitude: the
// last point joins the first, which is not repeated. A hole is a lake or
// an enclave cut out of the outer ring before it.
struct OutlineRing {
  bool hole;
  std::vector<LonLat> points;
};

// The outline of a country, or of all land: polygons, each an outer ring
// followed by its holes. No ring crosses the 180th meridian: a polygon
// that does is cut there into one on each side, so that its rings meet the
// frame's edges; one round a pole (Antarctica) is closed along the
// meridian and the pole's parallel.
struct Outline {
  std::string iso2;  // the country's ISO 3166-1 alpha-2 code; empty for land
                     // and for an area of no country (Siachen Glacier)
  int numeric;       // its ISO 3166-1 numeric code; 0 where there is none
  std::string name;  // the country's name, or the area's
  std::vector<OutlineRing> rings;
};

// The two scales of Natural Earth's outlines that the data holds: 1:110
// million (the coarse world map, some 10,000 points) and 1:50 million
// (some 100,000).
enum class OutlineScale { k110m, k50m };

// Reads an outline file of the project's data (format in data/geo/README.md).
// Throws Error naming the file when it cannot be read or is not an outline
// file of a version this reader knows, or is damaged.
std::vector<Outline> readOutlines(const std::string& path);

// The files of the data folder (dataFolder()/geo/): the countries'
// outlines, and the land's.
std::string countryOutlinesPath(OutlineScale scale);
std::string landOutlinesPath(OutlineScale scale);
// What the country check adds to the 1:50m countries' outlines, filed
// under the countries' codes: the small islands of the 1:10m outlines that
// the 1:50m ones leave out, and areas that one country's outline holds and
// another's name is given to as well (the west of Western Sahara).
std::string extraCountryOutlinesPath();

}  // namespace metdb

#endif  // METDB_TOOL_PLACES_OUTLINEFILE_H_
