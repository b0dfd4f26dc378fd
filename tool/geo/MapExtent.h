#ifndef METDB_TOOL_GEO_MAPEXTENT_H_
#define METDB_TOOL_GEO_MAPEXTENT_H_

#include <string>
#include <vector>

#include "tool/geo/MapProjection.h"

namespace metdb {

// A position in degrees, as maps take it.
struct GeoPosition {
  double latitude;
  double longitude;
};

// A region of the globe bounded by two meridians and two parallels, in
// degrees: from west eastwards to east (west greater than east: across the
// 180th meridian; east - west of 360: all the way round), from south to
// north.
struct MapExtent {
  double west = -180.0;
  double south = -90.0;
  double east = 180.0;
  double north = 90.0;

  // The whole globe.
  static MapExtent world();

  // The smallest extent holding every position (each on the globe), with
  // its longitudes on the shorter way round: positions on both sides of
  // the 180th meridian and none near 0 give an extent across it. Positions
  // spread all round the globe (no gap of longitude wider than 120°) give
  // all longitudes. An empty list gives the world.
  static MapExtent around(const std::vector<GeoPosition>& positions);

  // Parses "WEST,SOUTH,EAST,NORTH" (--extent). Throws Error naming the
  // option and the part at fault when it is not four numbers, a latitude or
  // longitude is out of range, south is not below north, or west equals
  // east. west greater than east crosses the 180th meridian.
  static MapExtent parse(const std::string& text);

  // Degrees of longitude from west eastwards to east, 0..360 (0: a single
  // meridian, as the extent of one position).
  double longitudeSpan() const;
  // The meridian halfway from west to east, within -180..180.
  double centralLongitude() const;
  // Whether the extent reaches all the way round.
  bool allLongitudes() const { return longitudeSpan() >= 360.0; }
  // Whether longitude (any value) lies within west..east, going eastwards.
  bool holdsLongitude(double longitude) const;

  // The projection a map of this extent is drawn in when none is asked for:
  // a polar stereographic when the extent lies on one side of latitude 45
  // (north or south) and reaches the pole's cap beyond 80°, or, beyond 66°,
  // spans 100° of longitude or more; else equirectangular.
  ProjectionKind suggestedProjection() const;
};

}  // namespace metdb

#endif  // METDB_TOOL_GEO_MAPEXTENT_H_
