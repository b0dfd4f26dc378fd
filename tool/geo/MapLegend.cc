#include "tool/geo/MapLegend.h"

#include <cairo.h>

#include <cmath>

#include "tool/geo/MapStyle.h"

namespace metdb {

MapLegend::MapLegend(std::vector<LegendItem> items, double fontSize, double left, double top,
                     double width)
    : fontSize_(fontSize), bottom_(top) {
  if (items.empty()) return;
  mapstyle::Measure measure(fontSize);
  double rowHeight = fontSize * 1.6;
  double baseline = top + fontSize;
  double cursor = left;
  for (LegendItem& item : items) {
    double w = fontSize * 1.2 + mapstyle::textWidth(measure.get(), item.text);
    if (cursor > left && cursor + w > left + width) {
      cursor = left;
      baseline += rowHeight;
    }
    placed_.push_back({std::move(item), cursor, baseline});
    cursor += w + fontSize * 1.5;
  }
  bottom_ = baseline + fontSize * 0.5;
}

void MapLegend::draw(cairo_t* cr) const {
  mapstyle::setFont(cr, fontSize_);
  for (const Placed& p : placed_) {
    mapstyle::setColour(cr, p.item.colour);
    cairo_new_path(cr);
    cairo_arc(cr, p.x + fontSize_ * 0.4, p.baseline - fontSize_ * 0.35, fontSize_ * 0.4, 0,
              2 * M_PI);
    cairo_fill(cr);
    mapstyle::setColour(cr, mapstyle::kInk);
    mapstyle::showText(cr, p.item.text, p.x + fontSize_ * 1.2, p.baseline);
  }
}

}  // namespace metdb
