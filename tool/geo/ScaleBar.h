#ifndef METDB_TOOL_GEO_SCALEBAR_H_
#define METDB_TOOL_GEO_SCALEBAR_H_

#include <string>

#include "tool/geo/MapFrame.h"

typedef struct _cairo cairo_t;

namespace metdb {

// A map's scale bar: a round length (1, 2 or 5 times a power of ten) of
// at most a quarter of the frame's width, as measured along the geodesic at
// the frame's middle, with its length written above it. Where the scale
// changes much across the frame (an equirectangular frame spanning 30° of
// latitude or more) the label names the latitude it holds at.
class ScaleBar {
 public:
  // The bar for frame (placed in its picture), in type of fontSize.
  ScaleBar(const MapFrame& frame, double fontSize);

  // Whether there is a bar: false when the frame's middle has no position.
  bool shown() const { return length_ > 0.0; }
  // The room it takes, in pixels (0 when not shown).
  double width() const;
  double height() const;
  const std::string& label() const { return label_; }
  double metres() const { return metres_; }

  // Draws it with its top right corner at (right, top).
  void draw(cairo_t* cr, double right, double top) const;

 private:
  double fontSize_;
  double metres_ = 0.0;
  double length_ = 0.0;  // pixels
  double labelWidth_ = 0.0;
  std::string label_;
};

}  // namespace metdb

#endif  // METDB_TOOL_GEO_SCALEBAR_H_
