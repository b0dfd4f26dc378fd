#ifndef METDB_TOOL_GEO_LOCATIONMAP_H_
#define METDB_TOOL_GEO_LOCATIONMAP_H_

#include <string>
#include <vector>

#include "tool/geo/MapExtent.h"
#include "tool/geo/MapOutlines.h"
#include "tool/geo/MapProjection.h"
#include "tool/geo/NearestLocations.h"

namespace metdb {

class SelectedLocations;

// What the dots' colours tell apart.
enum class MapColouring { kContinent, kCountry, kLevel };

// How a map of locations is framed.
enum class MapFraming {
  kFit,     // the locations' extent with a margin (MapFrame::aroundPositions)
  kExtent,  // MapRequest::extent as given
  kWorld,   // the whole globe
  kAround,  // azimuthal equidistant round a point, with rings of distance
};

// A map to draw, as the user asked for it.
struct MapRequest {
  // The picture: FILE.svg or FILE.png (the extension, in any case, picks
  // the format), replaced only once it is complete.
  std::string output;
  int width = 1200;
  MapColouring colouring = MapColouring::kContinent;
  MapFraming framing = MapFraming::kFit;
  MapExtent extent;  // for kExtent
  // For kFit and kExtent: the projection, or the suggested one when not
  // given.
  bool projectionGiven = false;
  ProjectionKind projection = ProjectionKind::kEquirectangular;
  // For kAround: the centre and how far the map reaches (0 < radiusKm <=
  // kMaxRadiusKm).
  double latitude = 0.0;
  double longitude = 0.0;
  double radiusKm = 0.0;
  // The dots' diameter in pixels; 0 follows the count.
  double dotSize = 0.0;
  // For the title: the database's name and the filters as the user wrote
  // them (empty: every location).
  std::string databaseName;
  std::string filters;
};

// How far an azimuthal map may reach: a quarter of the way round the
// globe, within which the projection's distortion stays moderate.
constexpr double kMaxRadiusKm = 10000.0;

// What was drawn.
struct MapOutcome {
  long drawn = 0;     // dots in the frame
  long unplaced = 0;  // selected locations without a position on the globe
  long outside = 0;   // locations with a position outside the frame
  int width = 0;      // the picture's size in pixels
  int height = 0;
  ProjectionKind projection = ProjectionKind::kEquirectangular;
};

// Draws the selected locations (read once, in walk order, with a check
// point per record) as request asks, with the land, borders and coastlines
// of outlines at the scale the frame calls for (outlines may be nullptr:
// no outlines). The title names the database and the number drawn, the
// second line the filters and what was left out. Throws Error when a
// record cannot be read, the outlines cannot be loaded or the picture
// cannot be written (the file that stood at request.output is then kept).
MapOutcome drawLocationMap(SelectedLocations& selected, const MapRequest& request,
                           OutlineSource* outlines);

// Draws the answer of a nearest query: azimuthal equidistant round the
// query point (request.latitude, request.longitude), far enough to show
// every location found with a margin (at least 10 km, at most
// kMaxRadiusKm), with rings of distance and each location's dot labelled
// with its name and distance. request.framing and request.radiusKm are not
// used. Throws Error as drawLocationMap.
MapOutcome drawNearestMap(const std::vector<NearLocation>& found, const MapRequest& request,
                          OutlineSource* outlines);

}  // namespace metdb

#endif  // METDB_TOOL_GEO_LOCATIONMAP_H_
