#ifndef METDB_TOOL_GEO_DISTANCERINGS_H_
#define METDB_TOOL_GEO_DISTANCERINGS_H_

#include "tool/geo/MapFrame.h"

typedef struct _cairo cairo_t;

namespace metdb {

// The distances, in metres, at which rings are drawn round a point out to
// radiusMetres: multiples of a round length (1, 2 or 5 times a power of
// ten) that give two to five rings, the last at most radiusMetres.
double ringStep(double radiusMetres);

// Draws, in an azimuthal frame (whose plane's distances from its middle
// are geodesic distances from the centre), rings every ringStep out to
// radiusMetres, each labelled with its distance at its top, and a cross on
// the centre. Clipped to the frame.
void drawDistanceRings(cairo_t* cr, const MapFrame& frame, double radiusMetres, double fontSize,
                       double lineWidth);

}  // namespace metdb

#endif  // METDB_TOOL_GEO_DISTANCERINGS_H_
