#include "tool/geo/DistanceRings.h"

#include <cairo.h>

#include <cmath>
#include <cstdint>

#include "tool/geo/MapStyle.h"

namespace metdb {

double ringStep(double radiusMetres) {
  double step = mapstyle::roundLength(radiusMetres / 2.0);
  while (radiusMetres / step > 5.0) step *= 2.0;
  return step;
}

void drawDistanceRings(cairo_t* cr, const MapFrame& frame, double radiusMetres, double fontSize,
                       double lineWidth) {
  double cx = frame.pixelX(0.0), cy = frame.pixelY(0.0);
  double scale = frame.width() / frame.box().width();  // pixels per metre
  double step = ringStep(radiusMetres);
  cairo_save(cr);
  cairo_rectangle(cr, frame.left(), frame.top(), frame.width(), frame.height());
  cairo_clip(cr);
  cairo_new_path(cr);
  mapstyle::setColour(cr, mapstyle::kRing, 0.8);
  cairo_set_line_width(cr, lineWidth);
  const double dashes[] = {lineWidth * 6, lineWidth * 4};
  cairo_set_dash(cr, dashes, 2, 0);
  for (double d = step; d <= radiusMetres * (1 + 1e-9); d += step) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, d * scale, 0, 2 * M_PI);
  }
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);

  mapstyle::setFont(cr, fontSize * 0.85);
  for (double d = step; d <= radiusMetres * (1 + 1e-9); d += step) {
    mapstyle::setColour(cr, mapstyle::kRing);
    mapstyle::showHaloText(cr, mapstyle::lengthLabel(d), cx, cy - d * scale - fontSize * 0.3, 0.5);
  }

  // The centre: a cross in the ring colour on a wider one of paper.
  double arm = fontSize * 0.6;
  auto cross = [&](std::uint32_t colour, double width) {
    mapstyle::setColour(cr, colour);
    cairo_set_line_width(cr, width);
    cairo_move_to(cr, cx - arm, cy);
    cairo_line_to(cr, cx + arm, cy);
    cairo_move_to(cr, cx, cy - arm);
    cairo_line_to(cr, cx, cy + arm);
    cairo_stroke(cr);
  };
  cross(mapstyle::kPaper, lineWidth * 4);
  cross(mapstyle::kRing, lineWidth * 2);
  cairo_restore(cr);
}

}  // namespace metdb
