#ifndef METDB_TOOL_GEO_MAPLEGEND_H_
#define METDB_TOOL_GEO_MAPLEGEND_H_

#include <cstdint>
#include <string>
#include <vector>

typedef struct _cairo cairo_t;

namespace metdb {

// One line of a legend: a dot of colour (0xRRGGBB) and its text.
struct LegendItem {
  std::uint32_t colour;
  std::string text;
};

// The legend below a map's frame: its items in rows from left to right,
// wrapped to the frame's width.
class MapLegend {
 public:
  // Lays the items out in type of fontSize from (left, top), at most width
  // pixels wide.
  MapLegend(std::vector<LegendItem> items, double fontSize, double left, double top, double width);

  // The lowest pixel the legend takes (top when it has no items).
  double bottom() const { return bottom_; }

  void draw(cairo_t* cr) const;

 private:
  struct Placed {
    LegendItem item;
    double x, baseline;
  };
  double fontSize_;
  std::vector<Placed> placed_;
  double bottom_;
};

}  // namespace metdb

#endif  // METDB_TOOL_GEO_MAPLEGEND_H_
