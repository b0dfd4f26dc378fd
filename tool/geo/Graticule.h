#ifndef METDB_TOOL_GEO_GRATICULE_H_
#define METDB_TOOL_GEO_GRATICULE_H_

#include "tool/geo/MapExtent.h"
#include "tool/geo/MapFrame.h"

typedef struct _cairo cairo_t;

namespace metdb {

// The degrees between neighbouring parallels and between neighbouring
// meridians of a map's grid.
struct GraticuleSteps {
  double latitude;
  double longitude;
};

// Steps for the visible extent: of 0.25, 0.5, 1, 2, 5, 10, 15 and 30
// degrees the smallest that leaves at most 8 parallels across its
// latitudes and at most 12 meridians across its longitudes (the whole
// world: 30 and 30).
GraticuleSteps graticuleSteps(const MapExtent& visible);

// Draws the grid of parallels and meridians into the frame (clipped to it)
// with lines lineWidth pixels wide, and labels them in type of fontSize:
// a meridian where it leaves the frame's bottom (else top) edge, a
// parallel where it leaves the left (else right) edge, outside the frame,
// leaving out labels that would overlap; a parallel that leaves no edge (a
// circle round the pole of a polar map) is labelled inside the frame on the
// central meridian. The picture needs room of fontSize * 3.5 on the left
// and right and fontSize * 1.6 above and below the frame for them.
void drawGraticule(cairo_t* cr, const MapFrame& frame, double lineWidth, double fontSize);

}  // namespace metdb

#endif  // METDB_TOOL_GEO_GRATICULE_H_
