#ifndef METDB_TOOL_GEO_OUTLINELAYER_H_
#define METDB_TOOL_GEO_OUTLINELAYER_H_

#include "tool/geo/MapFrame.h"
#include "tool/geo/MapOutlines.h"

typedef struct _cairo cairo_t;

namespace metdb {

// Draws outlines into a frame of a picture: the land filled, country
// borders and coastlines as lines lineWidth pixels wide, all clipped to the
// frame. Each projection's pitfalls are handled here: in an
// equirectangular frame a shape is drawn once for every copy of it that
// the frame shows (a frame centred on the 180th meridian shows both sides'
// halves), a ring around a pole is closed along the pole, and the cuts of
// shapes split at the 180th meridian or along a pole are not drawn as
// coast; in a polar frame the shapes of the far hemisphere are left out;
// a shape that holds the one position the projection cannot show (an
// azimuthal map's antipode) is filled outside its ring, where its image
// lies, and in an azimuthal frame the parts of shapes far outside the frame
// are drawn along a circle round it (near the antipode, neighbouring points
// fall on opposite sides of the plane). cr's state is as before when this
// returns.
void drawOutlines(cairo_t* cr, const MapFrame& frame, const MapOutlines& outlines,
                  double lineWidth);

// Whether ring (see MapRing) holds the position: the ray from it along
// its meridian towards the north pole crosses the ring an odd number of
// times, unless the ring goes round a pole (then the side of the pole it
// lies nearer to is its inside).
bool ringHolds(const MapRing& ring, double latitude, double longitude);

}  // namespace metdb

#endif  // METDB_TOOL_GEO_OUTLINELAYER_H_
