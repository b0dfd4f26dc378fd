#ifndef METDB_TOOL_GEO_LABELLAYER_H_
#define METDB_TOOL_GEO_LABELLAYER_H_

#include <string>
#include <vector>

typedef struct _cairo cairo_t;

namespace metdb {

// A name to write beside a dot whose middle is at (x, y), in pixels of the
// picture.
struct DotLabel {
  double x, y;
  std::string text;
};

// A pixel rectangle.
struct PixelRect {
  double x0, y0, x1, y1;
  bool meets(const PixelRect& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
  bool within(const PixelRect& o) const {
    return x0 >= o.x0 && x1 <= o.x1 && y0 >= o.y0 && y1 <= o.y1;
  }
};

// A label where it is written: its text's baseline starts at (x, baseline)
// and box is the room it takes.
struct PlacedLabel {
  std::string text;
  double x, baseline;
  PixelRect box;
};

// Places the labels in their order, each at the first of eight spots round
// its dot (right, left, above, below, then the corners) where it stays
// inside `inside` and overlaps no label placed before and no dot (every
// label's dot is an obstacle, dotRadius pixels round); a label with no such
// spot is left out. cr gives the type (its current font).
std::vector<PlacedLabel> placeLabels(cairo_t* cr, const std::vector<DotLabel>& labels,
                                     double dotRadius, const PixelRect& inside);

// Writes the placed labels in the current font, over a halo.
void drawLabels(cairo_t* cr, const std::vector<PlacedLabel>& placed);

}  // namespace metdb

#endif  // METDB_TOOL_GEO_LABELLAYER_H_
