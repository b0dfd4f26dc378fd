#include "tool/geo/MapFrame.h"

#include <GeographicLib/Geodesic.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace metdb {

namespace {

constexpr double kMarginShare = 0.08;
constexpr double kMinMarginMetres = 100e3;

ProjectionKind chosen(const MapExtent& extent, const ProjectionKind* kind) {
  return kind != nullptr ? *kind : extent.suggestedProjection();
}

std::shared_ptr<const MapProjection> projectionFor(ProjectionKind kind, const MapExtent& extent) {
  switch (kind) {
    case ProjectionKind::kNorthPolar:
      return makePolarStereographic(true, extent.centralLongitude());
    case ProjectionKind::kSouthPolar:
      return makePolarStereographic(false, extent.centralLongitude());
    case ProjectionKind::kAzimuthal:
      return makeAzimuthalEquidistant((extent.south + extent.north) / 2.0,
                                      extent.centralLongitude());
    case ProjectionKind::kEquirectangular:
      break;
  }
  double parallel = 0.0;
  if (extent.north - extent.south < 90.0) {
    parallel = std::clamp((extent.south + extent.north) / 2.0, -60.0, 60.0);
  }
  return makeEquirectangular(extent.centralLongitude(), parallel);
}

// Grows the box about its middle to a height over width within the frame's
// limits, then, for an equirectangular plane, moves it back within the
// plane's strip and cuts it to the strip where it is larger.
PlaneBox shaped(PlaneBox box, const MapProjection& projection) {
  double w = box.width(), h = box.height();
  double cx = (box.x0 + box.x1) / 2.0, cy = (box.y0 + box.y1) / 2.0;
  if (h < w * MapFrame::kMinAspect) h = w * MapFrame::kMinAspect;
  if (h > w * MapFrame::kMaxAspect) w = h / MapFrame::kMaxAspect;
  box = {cx - w / 2.0, cy - h / 2.0, cx + w / 2.0, cy + h / 2.0};
  if (projection.kind() != ProjectionKind::kEquirectangular) return box;
  double c = projection.centralLongitude();
  double quarterX, poleY, ignored;
  projection.forward(0.0, c + 90.0, &quarterX, &ignored);
  projection.forward(90.0, c, &ignored, &poleY);
  double limitX = 2.0 * quarterX;
  auto fit = [](double* lo, double* hi, double limit) {
    if (*hi - *lo >= 2.0 * limit) {
      *lo = -limit;
      *hi = limit;
    } else if (*lo < -limit) {
      *hi += -limit - *lo;
      *lo = -limit;
    } else if (*hi > limit) {
      *lo -= *hi - limit;
      *hi = limit;
    }
  };
  fit(&box.x0, &box.x1, limitX);
  fit(&box.y0, &box.y1, poleY);
  return box;
}

struct Bounds {
  double x0 = std::numeric_limits<double>::infinity();
  double y0 = x0;
  double x1 = -x0;
  double y1 = -x0;
  void add(double x, double y) {
    x0 = std::min(x0, x);
    x1 = std::max(x1, x);
    y0 = std::min(y0, y);
    y1 = std::max(y1, y);
  }
  bool empty() const { return !(x0 <= x1); }
};

}  // namespace

MapFrame::MapFrame(std::shared_ptr<const MapProjection> projection, const PlaneBox& box)
    : projection_(std::move(projection)), box_(box) {
  place(0.0, 0.0, 1.0);
}

MapFrame MapFrame::world() { return ofExtent(MapExtent::world()); }

MapFrame MapFrame::aroundPositions(const std::vector<GeoPosition>& positions,
                                   const ProjectionKind* kind) {
  if (positions.empty()) return world();
  MapExtent extent = MapExtent::around(positions);
  std::shared_ptr<const MapProjection> projection = projectionFor(chosen(extent, kind), extent);
  Bounds bounds;
  for (const GeoPosition& p : positions) {
    double x, y;
    if (projection->forward(p.latitude, p.longitude, &x, &y)) bounds.add(x, y);
  }
  if (bounds.empty()) return world();
  double mx = std::max(kMarginShare * (bounds.x1 - bounds.x0), kMinMarginMetres);
  double my = std::max(kMarginShare * (bounds.y1 - bounds.y0), kMinMarginMetres);
  PlaneBox box{bounds.x0 - mx, bounds.y0 - my, bounds.x1 + mx, bounds.y1 + my};
  return MapFrame(projection, shaped(box, *projection));
}

MapFrame MapFrame::ofExtent(const MapExtent& extent, const ProjectionKind* kind) {
  std::shared_ptr<const MapProjection> projection = projectionFor(chosen(extent, kind), extent);
  // The extent's image is not a rectangle in every projection: a grid of
  // its positions finds the bounds of the image.
  const int kSteps = 48;
  double span = extent.longitudeSpan();
  Bounds bounds;
  for (int i = 0; i <= kSteps; ++i) {
    double latitude = extent.south + (extent.north - extent.south) * i / kSteps;
    for (int j = 0; j <= kSteps; ++j) {
      double longitude = extent.west + span * j / kSteps;
      // The plane's seam is the meridian opposite the centre: its points
      // belong to the edge the extent reaches, not the other.
      if (j == 0 && span >= 360.0) longitude += 1e-9;
      if (j == kSteps && span >= 360.0) longitude -= 1e-9;
      double x, y;
      if (projection->forward(latitude, longitude, &x, &y)) bounds.add(x, y);
    }
  }
  if (bounds.empty() || bounds.x1 - bounds.x0 <= 0.0 || bounds.y1 - bounds.y0 <= 0.0) {
    return world();
  }
  return MapFrame(projection, shaped({bounds.x0, bounds.y0, bounds.x1, bounds.y1}, *projection));
}

MapFrame MapFrame::around(double latitude, double longitude, double radiusKm) {
  double r = radiusKm * 1000.0 * 1.08;
  return MapFrame(makeAzimuthalEquidistant(latitude, longitude), {-r, -r, r, r});
}

void MapFrame::place(double left, double top, double width) {
  left_ = left;
  top_ = top;
  width_ = width;
  scale_ = width / box_.width();
}

bool MapFrame::project(double latitude, double longitude, double* px, double* py) const {
  double x, y;
  if (!projection_->forward(latitude, longitude, &x, &y)) return false;
  *px = pixelX(x);
  *py = pixelY(y);
  return true;
}

bool MapFrame::unproject(double px, double py, double* latitude, double* longitude) const {
  double x = box_.x0 + (px - left_) / scale_;
  double y = box_.y1 - (py - top_) / scale_;
  return projection_->reverse(x, y, latitude, longitude);
}

double MapFrame::metresPerPixel() const {
  double cx = left_ + width_ / 2.0, cy = top_ + height() / 2.0;
  const double kHalf = 10.0;
  double lat1, lon1, lat2, lon2;
  if (!unproject(cx - kHalf, cy, &lat1, &lon1) || !unproject(cx + kHalf, cy, &lat2, &lon2)) {
    return 0.0;
  }
  double metres;
  GeographicLib::Geodesic::WGS84().Inverse(lat1, lon1, lat2, lon2, metres);
  return metres / (2.0 * kHalf);
}

MapExtent MapFrame::visibleExtent() const {
  const int kSteps = 40;
  std::vector<GeoPosition> seen;
  MapExtent extent;
  extent.south = 90.0;
  extent.north = -90.0;
  for (int i = 0; i <= kSteps; ++i) {
    for (int j = 0; j <= kSteps; ++j) {
      double latitude, longitude;
      if (unproject(left_ + width_ * j / kSteps, top_ + height() * i / kSteps, &latitude,
                    &longitude)) {
        seen.push_back({latitude, longitude});
        extent.south = std::min(extent.south, latitude);
        extent.north = std::max(extent.north, latitude);
      }
    }
  }
  if (seen.empty()) return MapExtent::world();
  MapExtent longitudes = MapExtent::around(seen);
  extent.west = longitudes.west;
  extent.east = longitudes.east;
  for (double pole : {90.0, -90.0}) {
    double px, py;
    if (project(pole, 0.0, &px, &py) && holds(px, py)) {
      if (pole > 0) extent.north = 90.0;
      if (pole < 0) extent.south = -90.0;
      extent.west = -180.0;
      extent.east = 180.0;
    }
  }
  return extent;
}

}  // namespace metdb
