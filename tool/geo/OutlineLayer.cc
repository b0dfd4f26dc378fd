#include "tool/geo/OutlineLayer.h"

#include <cairo.h>
#include <GeographicLib/Math.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

#include "tool/geo/MapStyle.h"

namespace metdb {

namespace {

using GeographicLib::Math;

// Pixels farther out than this from the frame are pulled in, so that
// cairo's fixed-point coordinates cannot overflow; only parts of shapes far
// outside the frame move.
constexpr double kFarPixels = 1e6;
// Points of a line closer than this to the last one drawn are skipped.
constexpr double kMinStep = 0.4;

// A segment that only follows the 180th meridian or runs along a pole is
// where the data cut a shape, not a coast.
bool isCut(const GeoPosition& a, const GeoPosition& b) {
  bool meridian = std::fabs(a.longitude) >= 180.0 - 1e-7 && std::fabs(b.longitude) >= 180.0 - 1e-7;
  bool pole = std::fabs(a.latitude) >= 90.0 - 1e-7 && std::fabs(b.latitude) >= 90.0 - 1e-7;
  return meridian || pole;
}

std::size_t ringSize(const MapRing& ring) {
  std::size_t n = ring.size();
  if (n > 1 && ring[0].latitude == ring[n - 1].latitude &&
      ring[0].longitude == ring[n - 1].longitude) {
    --n;
  }
  return n;
}

// The ring's longitudes unwrapped (each the short way from the one
// before), and its winding: 0, or ±360 for a ring round a pole.
double unwrap(const MapRing& ring, std::size_t n, std::vector<double>* longitudes) {
  longitudes->resize(n);
  double u = ring[0].longitude;
  (*longitudes)[0] = u;
  for (std::size_t i = 1; i < n; ++i) {
    u += Math::AngDiff(ring[i - 1].longitude, ring[i].longitude);
    (*longitudes)[i] = u;
  }
  double end = u + Math::AngDiff(ring[n - 1].longitude, ring[0].longitude);
  return std::round((end - ring[0].longitude) / 360.0) * 360.0;
}

double meanLatitude(const MapRing& ring, std::size_t n) {
  double sum = 0.0;
  for (std::size_t i = 0; i < n; ++i) sum += ring[i].latitude;
  return sum / static_cast<double>(n);
}

// Builds cairo paths of rings in pixels, skipping points too close to the
// last one.
class PathWriter {
 public:
  PathWriter(cairo_t* cr, const MapFrame& frame) : cr_(cr), frame_(frame) {}

  void moveTo(double px, double py) {
    clamp(&px, &py);
    cairo_move_to(cr_, px, py);
    lastX_ = px;
    lastY_ = py;
  }
  void lineTo(double px, double py, bool last = false) {
    clamp(&px, &py);
    if (!last && std::fabs(px - lastX_) < kMinStep && std::fabs(py - lastY_) < kMinStep) return;
    cairo_line_to(cr_, px, py);
    lastX_ = px;
    lastY_ = py;
  }

 private:
  void clamp(double* px, double* py) const {
    *px = std::clamp(*px, frame_.left() - kFarPixels, frame_.left() + frame_.width() + kFarPixels);
    *py = std::clamp(*py, frame_.top() - kFarPixels, frame_.top() + frame_.height() + kFarPixels);
  }
  cairo_t* cr_;
  const MapFrame& frame_;
  double lastX_ = 0.0, lastY_ = 0.0;
};

// Pixel bounds of what was added to a path.
struct PixelBounds {
  double x0 = std::numeric_limits<double>::infinity(), y0 = x0, x1 = -x0, y1 = -x0;
  void add(double x, double y) {
    x0 = std::min(x0, x);
    y0 = std::min(y0, y);
    x1 = std::max(x1, x);
    y1 = std::max(y1, y);
  }
  bool meets(const MapFrame& f) const {
    return x1 >= f.left() && x0 <= f.left() + f.width() && y1 >= f.top() &&
           y0 <= f.top() + f.height();
  }
};

class Drawer {
 public:
  Drawer(cairo_t* cr, const MapFrame& frame)
      : cr_(cr),
        frame_(frame),
        equirectangular_(frame.projection().kind() == ProjectionKind::kEquirectangular) {
    const MapProjection& p = frame.projection();
    centre_ = p.centralLongitude();
    double x, y;
    p.forward(0.0, centre_ + 1.0, &x, &y);
    metresPerDegreeX_ = x;
    p.forward(1.0, centre_, &x, &y);
    metresPerDegreeY_ = y;
    visible_ = frame.visibleExtent();
    singular_ = p.singularPosition(&singularLatitude_, &singularLongitude_);
    if (p.kind() == ProjectionKind::kAzimuthal) {
      const PlaneBox& b = frame.box();
      farRadius_ = 1.01 * std::max(std::hypot(b.x0, b.y0), std::hypot(b.x1, b.y1));
    }
  }

  // Adds the polygon's rings to the path, closed, for filling; returns
  // whether any of it may show.
  bool fillPath(const MapPolygon& polygon) {
    if (polygon.rings.empty() || farSide(polygon)) return false;
    PixelBounds bounds;
    for (const MapRing& ring : polygon.rings) ring_(ring, true, &bounds);
    if (!equirectangular_ && singular_ &&
        ringHolds(polygon.rings[0], singularLatitude_, singularLongitude_)) {
      // The image lies between the ring and the edge of the plane: a
      // rectangle round both makes the even-odd fill take that side.
      bounds.add(frame_.left(), frame_.top());
      bounds.add(frame_.left() + frame_.width(), frame_.top() + frame_.height());
      double m = 10.0;
      cairo_rectangle(cr_, bounds.x0 - m, bounds.y0 - m, bounds.x1 - bounds.x0 + 2 * m,
                      bounds.y1 - bounds.y0 + 2 * m);
      return true;
    }
    return bounds.meets(frame_);
  }

  // Adds the polygon's edges to the path as lines, without the cuts.
  bool strokePath(const MapPolygon& polygon) {
    if (polygon.rings.empty() || farSide(polygon)) return false;
    PixelBounds bounds;
    for (const MapRing& ring : polygon.rings) ring_(ring, false, &bounds);
    return bounds.meets(frame_);
  }

 private:
  // In a polar frame, a shape wholly beyond the visible latitudes by a
  // margin is left out: its image is far away, or (round the other pole)
  // everywhere.
  bool farSide(const MapPolygon& polygon) const {
    ProjectionKind kind = frame_.projection().kind();
    if (kind != ProjectionKind::kNorthPolar && kind != ProjectionKind::kSouthPolar) return false;
    double lo = 90.0, hi = -90.0;
    for (const GeoPosition& p : polygon.rings[0]) {
      lo = std::min(lo, p.latitude);
      hi = std::max(hi, p.latitude);
    }
    const double kMargin = 15.0;
    if (kind == ProjectionKind::kNorthPolar) return hi < visible_.south - kMargin;
    return lo > visible_.north + kMargin;
  }

  void ring_(const MapRing& ring, bool closed, PixelBounds* bounds) {
    std::size_t n = ringSize(ring);
    if (n < 2) return;
    if (equirectangular_) {
      equirectangularRing(ring, n, closed, bounds);
    } else {
      projectedRing(ring, n, closed, bounds);
    }
  }

  void projectedRing(const MapRing& ring, std::size_t n, bool closed, PixelBounds* bounds) {
    PathWriter path(cr_, frame_);
    bool open = false;
    // Back to the first point at the end, so that a ring closes along the
    // far circle too.
    std::size_t end = n + 1;
    // Where the last point was pulled onto the far circle (see far()), its
    // angle; NaN when it was not.
    double lastAngle = std::nan("");
    std::vector<GeoPosition> points;  // the ring with its long edges split
    std::vector<bool> cuts;           // whether the edge to each point is a cut
    for (std::size_t k = 0; k < end; ++k) {
      const GeoPosition& p = ring[k % n];
      bool cut = k > 0 && isCut(ring[k - 1], p);
      if (k > 0 && !cut) {
        // A long straight edge (a border along a meridian) runs far across
        // an azimuthal map near the antipode: it is drawn in steps of a
        // degree at most.
        const GeoPosition& q = ring[k - 1];
        double dLongitude = Math::AngDiff(q.longitude, p.longitude);
        double dLatitude = p.latitude - q.latitude;
        int steps = static_cast<int>(std::max(std::fabs(dLongitude), std::fabs(dLatitude)));
        for (int i = 1; i < steps; ++i) {
          points.push_back(
              {q.latitude + dLatitude * i / steps, q.longitude + dLongitude * i / steps});
          cuts.push_back(false);
        }
      }
      points.push_back(p);
      cuts.push_back(cut);
    }
    end = points.size();
    for (std::size_t k = 0; k < end; ++k) {
      const GeoPosition& p = points[k];
      double x, y;
      bool shown = frame_.projection().forward(p.latitude, p.longitude, &x, &y);
      bool cut = !closed && cuts[k];
      if (!shown) {
        if (!closed) open = false;
        continue;
      }
      double angle = std::nan("");
      if (farRadius_ > 0.0 && std::hypot(x, y) > farRadius_) {
        angle = std::atan2(y, x);
        // Round the circle the shorter way from the last pulled point, so
        // that no chord cuts across the map.
        if (open && !std::isnan(lastAngle)) {
          double turn = std::remainder(angle - lastAngle, 2 * M_PI);
          int steps = static_cast<int>(std::fabs(turn) / (M_PI / 36));
          for (int i = 1; i < steps; ++i) {
            double a = lastAngle + turn * i / steps;
            path.lineTo(frame_.pixelX(farRadius_ * std::cos(a)),
                        frame_.pixelY(farRadius_ * std::sin(a)), true);
          }
        }
        x = farRadius_ * std::cos(angle);
        y = farRadius_ * std::sin(angle);
      }
      lastAngle = angle;
      double px = frame_.pixelX(x), py = frame_.pixelY(y);
      bounds->add(px, py);
      if (!open || cut) {
        path.moveTo(px, py);
        open = true;
      } else {
        path.lineTo(px, py, k + 1 == end);
      }
    }
    if (closed && open) cairo_close_path(cr_);
  }

  void equirectangularRing(const MapRing& ring, std::size_t n, bool closed, PixelBounds* bounds) {
    double winding = unwrap(ring, n, &longitudes_);
    double lo = *std::min_element(longitudes_.begin(), longitudes_.end());
    double hi = *std::max_element(longitudes_.begin(), longitudes_.end());
    if (winding > 0) hi = std::max(hi, longitudes_[0] + winding);
    if (winding < 0) lo = std::min(lo, longitudes_[0] + winding);
    // The copies of the ring, 360° apart, that can meet the plane's strip
    // of centre ± 180.
    int first = static_cast<int>(std::ceil((centre_ - 180.0 - hi) / 360.0));
    int last = static_cast<int>(std::floor((centre_ + 180.0 - lo) / 360.0));
    double pole = meanLatitude(ring, n) >= 0 ? 90.0 : -90.0;
    for (int copy = first; copy <= last; ++copy) {
      double shift = copy * 360.0 - centre_;
      auto px = [&](double u) { return frame_.pixelX((u + shift) * metresPerDegreeX_); };
      auto py = [&](double latitude) { return frame_.pixelY(latitude * metresPerDegreeY_); };
      PathWriter path(cr_, frame_);
      for (std::size_t k = 0; k < n; ++k) {
        double x = px(longitudes_[k]), y = py(ring[k].latitude);
        bounds->add(x, y);
        if (k == 0 || (!closed && isCut(ring[k - 1], ring[k]))) {
          path.moveTo(x, y);
        } else {
          path.lineTo(x, y, k + 1 == n);
        }
      }
      // Back to the first point, which a ring round a pole reaches a turn
      // further on; a ring for filling then closes along the pole.
      double back = longitudes_[0] + winding;
      if (closed || !isCut(ring[n - 1], ring[0])) path.lineTo(px(back), py(ring[0].latitude), true);
      if (closed) {
        if (winding != 0.0) {
          path.lineTo(px(back), py(pole), true);
          path.lineTo(px(longitudes_[0]), py(pole), true);
        }
        cairo_close_path(cr_);
      }
    }
  }

  cairo_t* cr_;
  const MapFrame& frame_;
  bool equirectangular_;
  double centre_ = 0.0;
  double metresPerDegreeX_ = 1.0;
  double metresPerDegreeY_ = 1.0;
  MapExtent visible_;
  bool singular_ = false;
  double singularLatitude_ = 0.0;
  double singularLongitude_ = 0.0;
  // In an azimuthal frame, points farther from the centre than this are
  // pulled onto the circle of this radius, just outside the frame's
  // corners: near the antipode, neighbouring points of a ring fall on
  // opposite sides of the plane, and a line between them would cross the
  // map. 0: none are.
  double farRadius_ = 0.0;
  std::vector<double> longitudes_;
};

}  // namespace

bool ringHolds(const MapRing& ring, double latitude, double longitude) {
  std::size_t n = ringSize(ring);
  if (n < 3) return false;
  std::vector<double> unwrapped;
  double winding = unwrap(ring, n, &unwrapped);
  bool crossed = false;
  for (std::size_t i = 0; i < n; ++i) {
    const GeoPosition& a = ring[i];
    const GeoPosition& b = ring[(i + 1) % n];
    double step = Math::AngDiff(a.longitude, b.longitude);
    double offset = Math::AngDiff(a.longitude, longitude);
    // Half-open on the segment's ends, so that a vertex on the meridian
    // counts once.
    bool spans = step > 0 ? (offset > 0 && offset <= step) : (offset <= 0 && offset > step);
    if (step == 0 || !spans) continue;
    double at = a.latitude + (b.latitude - a.latitude) * (offset / step);
    if (at > latitude) crossed = !crossed;
  }
  bool northPoleInside = winding != 0.0 && meanLatitude(ring, n) > 0;
  return crossed != northPoleInside;
}

void drawOutlines(cairo_t* cr, const MapFrame& frame, const MapOutlines& outlines,
                  double lineWidth) {
  cairo_save(cr);
  cairo_rectangle(cr, frame.left(), frame.top(), frame.width(), frame.height());
  cairo_clip(cr);
  cairo_new_path(cr);
  Drawer drawer(cr, frame);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

  // Without land of their own, the countries are the land.
  const std::vector<MapPolygon>& land = outlines.land.empty() ? outlines.countries : outlines.land;
  mapstyle::setColour(cr, mapstyle::kLand);
  for (const MapPolygon& polygon : land) {
    if (drawer.fillPath(polygon)) {
      cairo_fill(cr);
    } else {
      cairo_new_path(cr);
    }
  }
  // Borders: the countries' edges, thin; the coast drawn over them hides
  // the edges that are coast.
  mapstyle::setColour(cr, mapstyle::kBorder);
  cairo_set_line_width(cr, lineWidth * 0.8);
  for (const MapPolygon& polygon : outlines.countries) {
    if (drawer.strokePath(polygon)) {
      cairo_stroke(cr);
    } else {
      cairo_new_path(cr);
    }
  }
  mapstyle::setColour(cr, mapstyle::kCoast);
  cairo_set_line_width(cr, lineWidth);
  for (const MapPolygon& polygon : outlines.land) {
    if (drawer.strokePath(polygon)) {
      cairo_stroke(cr);
    } else {
      cairo_new_path(cr);
    }
  }
  cairo_restore(cr);
}

}  // namespace metdb
