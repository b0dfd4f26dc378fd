#ifndef METDB_TOOL_GEO_DOTLAYER_H_
#define METDB_TOOL_GEO_DOTLAYER_H_

#include <cstddef>
#include <cstdint>
#include <vector>

typedef struct _cairo cairo_t;

namespace metdb {

// The dots of a map, binned into the pixels of its frame: a pixel keeps
// how many dots fell on it (up to 255; more look the same) and the group
// that most of them belong to (the majority vote of their groups; the first
// when none has most). Memory and drawing time follow the frame's pixels,
// not the number of dots: 4 bytes a pixel, allocated with the first dot.
class DotLayer {
 public:
  // A frame of width x height pixels (each at least 1).
  DotLayer(int width, int height);

  // Adds a dot of group at (x, y), pixels from the frame's top left
  // corner. A dot outside the frame is not kept: returns false.
  bool add(double x, double y, std::uint16_t group);

  // Dots kept, and pixels that hold at least one.
  long count() const { return count_; }
  std::size_t pixels() const { return occupied_; }

  // Calls visit(x, y, group, count) for every pixel that holds dots, in
  // rows from the top, x and y its middle.
  template <typename Visit>
  void forEachPixel(Visit visit) const {
    if (cells_.empty()) return;
    for (int row = 0; row < height_; ++row) {
      for (int column = 0; column < width_; ++column) {
        const Cell& c = cells_[static_cast<std::size_t>(row) * width_ + column];
        if (c.count > 0) visit(column + 0.5, row + 0.5, c.group, c.count);
      }
    }
  }

  // Draws the dots with their top left corner at (left, top): each pixel
  // that holds dots as a disc of radius pixels in colours[its group]
  // (0xRRGGBB), as opaque as `alpha` dots drawn over one another
  // (1 - (1 - alpha)^count). Into a picture of pixels (vector false) the
  // discs are stamped into an image that is then painted, which costs a
  // few operations a pixel of each disc; as vectors (an SVG that should
  // hold a shape per dot) each colour and opacity is one path of circles.
  void draw(cairo_t* cr, double left, double top, const std::vector<std::uint32_t>& colours,
            double radius, double alpha, bool vector) const;

 private:
  struct Cell {
    std::uint16_t group;
    std::uint8_t count;
    std::uint8_t votes;
  };
  void drawRaster(cairo_t* cr, double left, double top, const std::vector<std::uint32_t>& colours,
                  double radius, double alpha) const;
  void drawVectors(cairo_t* cr, double left, double top, const std::vector<std::uint32_t>& colours,
                   double radius, double alpha) const;

  int width_;
  int height_;
  long count_ = 0;
  std::size_t occupied_ = 0;
  std::vector<Cell> cells_;
};

}  // namespace metdb

#endif  // METDB_TOOL_GEO_DOTLAYER_H_
