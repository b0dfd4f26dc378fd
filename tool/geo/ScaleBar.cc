#include "tool/geo/ScaleBar.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "tool/geo/MapStyle.h"

namespace metdb {

ScaleBar::ScaleBar(const MapFrame& frame, double fontSize) : fontSize_(fontSize) {
  double metresPerPixel = frame.metresPerPixel();
  if (!(metresPerPixel > 0.0)) return;
  metres_ = mapstyle::roundLength(metresPerPixel * frame.width() * 0.25);
  length_ = metres_ / metresPerPixel;
  label_ = mapstyle::lengthLabel(metres_);
  MapExtent visible = frame.visibleExtent();
  if (frame.projection().kind() == ProjectionKind::kEquirectangular &&
      visible.north - visible.south >= 30.0) {
    double latitude, longitude;
    if (frame.unproject(frame.left() + frame.width() / 2, frame.top() + frame.height() / 2,
                        &latitude, &longitude)) {
      label_ += " at " + mapstyle::latitudeLabel(std::round(latitude));
    }
  }
  mapstyle::Measure measure(fontSize * 0.85);
  labelWidth_ = mapstyle::textWidth(measure.get(), label_);
}

double ScaleBar::width() const { return shown() ? std::max(length_, labelWidth_) : 0.0; }

double ScaleBar::height() const { return shown() ? fontSize_ * 1.6 : 0.0; }

void ScaleBar::draw(cairo_t* cr, double right, double top) const {
  if (!shown()) return;
  double barY = top + height() - fontSize_ * 0.1;
  mapstyle::setColour(cr, mapstyle::kInk);
  mapstyle::setFont(cr, fontSize_ * 0.85);
  mapstyle::showText(cr, label_, right, top + fontSize_ * 0.85, 1.0);
  double barLeft = right - length_;
  cairo_set_line_width(cr, std::max(1.0, fontSize_ / 8.0));
  cairo_new_path(cr);
  cairo_move_to(cr, barLeft, barY - fontSize_ * 0.4);
  cairo_line_to(cr, barLeft, barY);
  cairo_line_to(cr, right, barY);
  cairo_line_to(cr, right, barY - fontSize_ * 0.4);
  cairo_stroke(cr);
}

}  // namespace metdb
