#include "tool/geo/MapOutlines.h"

#include "tool/geo/MapFrame.h"

namespace metdb {

OutlineScale outlineScaleFor(const MapFrame& frame) {
  double across = frame.metresPerPixel() * frame.width();
  return across > 0.0 && across < 8000e3 ? OutlineScale::k50m : OutlineScale::k110m;
}

}  // namespace metdb
