#include "tool/geo/Graticule.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tool/geo/MapStyle.h"

namespace metdb {

namespace {

const double kSteps[] = {0.25, 0.5, 1, 2, 5, 10, 15, 30};

struct Point {
  double x, y;
  bool shown;
};

// A label placed along one edge: the interval it takes there.
struct Taken {
  double from, to;
};

bool overlaps(const std::vector<Taken>& taken, double from, double to) {
  for (const Taken& t : taken) {
    if (from < t.to && to > t.from) return true;
  }
  return false;
}

// Where the line of points first crosses the horizontal (horizontal true)
// or vertical line at `at`, within lo..hi along it.
bool crossing(const std::vector<Point>& line, bool horizontal, double at, double lo, double hi,
              double* where) {
  // A line that ends on the edge (one starting at the plane's seam, which
  // is the frame's edge) meets it there.
  for (const Point& p : line) {
    double w = horizontal ? p.x : p.y;
    if (p.shown && std::fabs((horizontal ? p.y : p.x) - at) <= 0.5 && w >= lo - 0.5 &&
        w <= hi + 0.5) {
      *where = std::clamp(w, lo, hi);
      return true;
    }
  }
  for (std::size_t i = 1; i < line.size(); ++i) {
    const Point& a = line[i - 1];
    const Point& b = line[i];
    if (!a.shown || !b.shown) continue;
    double da = (horizontal ? a.y : a.x) - at;
    double db = (horizontal ? b.y : b.x) - at;
    if ((da < 0) == (db < 0) || da == db) continue;
    double t = da / (da - db);
    double w = horizontal ? a.x + (b.x - a.x) * t : a.y + (b.y - a.y) * t;
    // Half a pixel of slack: a line along the frame's edge meets the
    // corner.
    if (w >= lo - 0.5 && w <= hi + 0.5) {
      *where = std::clamp(w, lo, hi);
      return true;
    }
  }
  return false;
}

}  // namespace

GraticuleSteps graticuleSteps(const MapExtent& visible) {
  double latitudes = visible.north - visible.south;
  double longitudes = visible.longitudeSpan();
  GraticuleSteps steps{30.0, 30.0};
  for (double s : kSteps) {
    if (latitudes / s <= 8.0) {
      steps.latitude = s;
      break;
    }
  }
  for (double s : kSteps) {
    if (longitudes / s <= 12.0) {
      steps.longitude = s;
      break;
    }
  }
  return steps;
}

void drawGraticule(cairo_t* cr, const MapFrame& frame, double lineWidth, double fontSize) {
  MapExtent visible = frame.visibleExtent();
  GraticuleSteps steps = graticuleSteps(visible);
  double left = frame.left(), top = frame.top();
  double right = left + frame.width(), bottom = top + frame.height();
  // A jump wider than this between neighbouring samples is the plane's
  // seam, not a line.
  double seam = frame.width() / 2.0;
  double reach = 0.25 * std::max(frame.width(), frame.height());

  auto sample = [&](bool meridian, double value) {
    std::vector<Point> line;
    const int kSamples = 180;
    // A little beyond the visible extent, so that every line leaves the
    // frame.
    double south = std::max(-90.0, visible.south - 0.05 * (visible.north - visible.south));
    double north = std::min(90.0, visible.north + 0.05 * (visible.north - visible.south));
    double span = visible.longitudeSpan();
    double west = visible.allLongitudes() ? visible.west : visible.west - 0.05 * span;
    double across = visible.allLongitudes() ? 360.0 : 1.1 * span;
    for (int i = 0; i <= kSamples; ++i) {
      double latitude, longitude;
      if (meridian) {
        longitude = value;
        latitude = south + (north - south) * i / kSamples;
      } else {
        latitude = value;
        longitude = west + across * i / kSamples;
      }
      Point p{0, 0, false};
      p.shown = frame.project(latitude, longitude, &p.x, &p.y);
      // Far outside the frame a line is not needed, and near an azimuthal
      // map's antipode neighbouring samples fall on opposite sides of the
      // plane: a line between them would cross the map.
      if (p.shown && (p.x < left - reach || p.x > right + reach || p.y < top - reach ||
                      p.y > bottom + reach)) {
        p.shown = false;
      }
      if (p.shown && !line.empty() && line.back().shown &&
          std::hypot(p.x - line.back().x, p.y - line.back().y) > seam) {
        line.push_back({0, 0, false});
      }
      line.push_back(p);
    }
    return line;
  };
  auto stroke = [&](const std::vector<Point>& line) {
    bool open = false;
    for (const Point& p : line) {
      if (!p.shown) {
        open = false;
        continue;
      }
      if (open) {
        cairo_line_to(cr, p.x, p.y);
      } else {
        cairo_move_to(cr, p.x, p.y);
        open = true;
      }
    }
  };

  std::vector<double> meridians, parallels;
  double firstMeridian = std::ceil(visible.west / steps.longitude) * steps.longitude;
  double lastMeridian = visible.west + visible.longitudeSpan();
  for (double m = firstMeridian; m <= lastMeridian + 1e-9; m += steps.longitude) {
    // All the way round, -180 and 180 are one meridian.
    if (visible.allLongitudes() && m >= visible.west + 360.0 - 1e-9) break;
    meridians.push_back(std::remainder(m, 360.0));
  }
  for (double p = std::ceil(visible.south / steps.latitude) * steps.latitude;
       p <= visible.north + 1e-9; p += steps.latitude) {
    if (std::fabs(p) < 90.0) parallels.push_back(p);
  }

  std::vector<std::vector<Point>> meridianLines, parallelLines;
  for (double m : meridians) meridianLines.push_back(sample(true, m));
  for (double p : parallels) parallelLines.push_back(sample(false, p));

  cairo_save(cr);
  cairo_rectangle(cr, left, top, frame.width(), frame.height());
  cairo_clip(cr);
  cairo_new_path(cr);
  mapstyle::setColour(cr, mapstyle::kGrid);
  cairo_set_line_width(cr, lineWidth);
  for (const auto& line : meridianLines) stroke(line);
  for (const auto& line : parallelLines) stroke(line);
  cairo_stroke(cr);
  cairo_restore(cr);

  // Labels, outside the frame where a line leaves it.
  mapstyle::setColour(cr, mapstyle::kInk);
  mapstyle::setFont(cr, fontSize * 0.9);
  double gap = fontSize * 0.5;
  std::vector<Taken> takenBottom, takenTop, takenLeft, takenRight;
  for (std::size_t i = 0; i < meridians.size(); ++i) {
    std::string label = mapstyle::longitudeLabel(meridians[i]);
    double w = mapstyle::textWidth(cr, label);
    double x;
    if (crossing(meridianLines[i], true, bottom, left, right, &x)) {
      if (overlaps(takenBottom, x - w / 2 - gap, x + w / 2 + gap)) continue;
      takenBottom.push_back({x - w / 2 - gap, x + w / 2 + gap});
      mapstyle::showText(cr, label, x, bottom + gap + fontSize * 0.9, 0.5);
    } else if (crossing(meridianLines[i], true, top, left, right, &x)) {
      if (overlaps(takenTop, x - w / 2 - gap, x + w / 2 + gap)) continue;
      takenTop.push_back({x - w / 2 - gap, x + w / 2 + gap});
      mapstyle::showText(cr, label, x, top - gap, 0.5);
    }
  }
  for (std::size_t i = 0; i < parallels.size(); ++i) {
    std::string label = mapstyle::latitudeLabel(parallels[i]);
    double h = fontSize * 0.9;
    double y;
    if (crossing(parallelLines[i], false, left, top, bottom, &y)) {
      if (overlaps(takenLeft, y - h, y + h)) continue;
      takenLeft.push_back({y - h, y + h});
      mapstyle::showText(cr, label, left - gap, y + h * 0.35, 1.0);
    } else if (crossing(parallelLines[i], false, right, top, bottom, &y)) {
      if (overlaps(takenRight, y - h, y + h)) continue;
      takenRight.push_back({y - h, y + h});
      mapstyle::showText(cr, label, right + gap, y + h * 0.35, 0.0);
    } else {
      double px, py;
      if (frame.project(parallels[i], frame.projection().centralLongitude(), &px, &py) &&
          frame.holds(px, py)) {
        mapstyle::showHaloText(cr, label, px + gap * 0.5, py - gap * 0.5, 0.0);
      }
    }
  }
}

}  // namespace metdb
