#include "tool/geo/LabelLayer.h"

#include <cairo.h>

#include "tool/geo/MapStyle.h"
#include "tool/text/Text.h"

namespace metdb {

std::vector<PlacedLabel> placeLabels(cairo_t* cr, const std::vector<DotLabel>& labels,
                                     double dotRadius, const PixelRect& inside) {
  cairo_font_extents_t font;
  cairo_font_extents(cr, &font);
  double ascent = font.ascent, descent = font.descent;
  double gap = dotRadius + 2.0;
  std::vector<PixelRect> dots;
  for (const DotLabel& l : labels) {
    dots.push_back({l.x - dotRadius, l.y - dotRadius, l.x + dotRadius, l.y + dotRadius});
  }
  std::vector<PlacedLabel> placed;
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const DotLabel& l = labels[i];
    if (l.text.empty()) continue;
    double w = mapstyle::textWidth(cr, l.text);
    double h = ascent + descent;
    // Top left corners of the spots.
    const double spots[][2] = {
        {l.x + gap, l.y - h / 2},
        {l.x - gap - w, l.y - h / 2},
        {l.x - w / 2, l.y - gap - h},
        {l.x - w / 2, l.y + gap},
        {l.x + gap * 0.7, l.y - gap * 0.7 - h},
        {l.x - gap * 0.7 - w, l.y - gap * 0.7 - h},
        {l.x + gap * 0.7, l.y + gap * 0.7},
        {l.x - gap * 0.7 - w, l.y + gap * 0.7},
    };
    for (const auto& spot : spots) {
      PixelRect box{spot[0] - 1, spot[1] - 1, spot[0] + w + 1, spot[1] + h + 1};
      if (!box.within(inside)) continue;
      bool free = true;
      for (std::size_t d = 0; d < dots.size() && free; ++d) {
        if (d != i && box.meets(dots[d])) free = false;
      }
      for (const PlacedLabel& p : placed) {
        if (!free) break;
        if (box.meets(p.box)) free = false;
      }
      if (free) {
        placed.push_back({l.text, spot[0], spot[1] + ascent, box});
        break;
      }
    }
  }
  return placed;
}

void drawLabels(cairo_t* cr, const std::vector<PlacedLabel>& placed) {
  for (const PlacedLabel& p : placed) {
    mapstyle::setColour(cr, mapstyle::kInk);
    mapstyle::showHaloText(cr, p.text, p.x, p.baseline);
  }
}

}  // namespace metdb
