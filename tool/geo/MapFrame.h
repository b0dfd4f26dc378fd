#ifndef METDB_TOOL_GEO_MAPFRAME_H_
#define METDB_TOOL_GEO_MAPFRAME_H_

#include <memory>
#include <vector>

#include "tool/geo/MapExtent.h"
#include "tool/geo/MapProjection.h"

namespace metdb {

// A rectangle of a projection's plane, in metres, x0 < x1 and y0 < y1.
struct PlaneBox {
  double x0, y0, x1, y1;
  double width() const { return x1 - x0; }
  double height() const { return y1 - y0; }
};

// What a map shows: a projection and the rectangle of its plane that the
// picture's frame holds, and where that rectangle lies in the picture's
// pixels. The builders pick both from what the user asked for; the frame
// then maps positions to pixels and back.
class MapFrame {
 public:
  // The frame's height over its width is kept within these (a tall or
  // flat region gets room on its sides or above and below), but for the
  // whole world (0.5) and a region the plane's edge bounds.
  static constexpr double kMinAspect = 0.4;
  static constexpr double kMaxAspect = 1.25;

  // The whole globe, equirectangular around meridian 0.
  static MapFrame world();

  // The positions (each on the globe) with a margin around them: 8 % of the
  // region's size on each side, at least 100 km. The projection is kind,
  // or the one MapExtent::suggestedProjection gives for their extent when
  // kind is null. Equirectangular frames are centred on the positions'
  // middle meridian (180 for positions on both sides of it) and take the
  // middle of their latitudes as the standard parallel (0 when they span
  // 90° or more). No positions: the world.
  static MapFrame aroundPositions(const std::vector<GeoPosition>& positions,
                                  const ProjectionKind* kind = nullptr);

  // The extent as given (the picture follows its shape within the
  // aspect's limits), in kind or the suggested projection.
  static MapFrame ofExtent(const MapExtent& extent, const ProjectionKind* kind = nullptr);

  // Azimuthal equidistant around (latitude, longitude), showing radiusKm in
  // every direction (radiusKm > 0, at most half the way round the globe)
  // and a little more for the rings' labels.
  static MapFrame around(double latitude, double longitude, double radiusKm);

  MapFrame(std::shared_ptr<const MapProjection> projection, const PlaneBox& box);

  const MapProjection& projection() const { return *projection_; }
  const PlaneBox& box() const { return box_; }
  // Height over width of the plane's rectangle.
  double aspect() const { return box_.height() / box_.width(); }

  // Places the frame in the picture: its top left corner at (left, top),
  // width pixels wide; the height follows the aspect.
  void place(double left, double top, double width);
  double left() const { return left_; }
  double top() const { return top_; }
  double width() const { return width_; }
  double height() const { return width_ * aspect(); }

  // Where a point of the plane, or a position, falls in the picture (pixels
  // from its top left corner). project returns false where the projection
  // has no image for the position.
  double pixelX(double x) const { return left_ + (x - box_.x0) * scale_; }
  double pixelY(double y) const { return top_ + (box_.y1 - y) * scale_; }
  bool project(double latitude, double longitude, double* px, double* py) const;
  // The position at a pixel; false where the plane has none.
  bool unproject(double px, double py, double* latitude, double* longitude) const;
  // Whether a pixel lies within the frame.
  bool holds(double px, double py) const {
    return px >= left_ && px <= left_ + width_ && py >= top_ && py <= top_ + height();
  }

  // Metres on the ground per pixel at the frame's middle, measured east and
  // west along the geodesic (0 if the middle has no position).
  double metresPerPixel() const;

  // The parallels and meridians the frame shows: the latitudes and the
  // longitudes (going eastwards from west) that positions of the frame
  // take, found by sampling it; all longitudes when a pole lies in the
  // frame.
  MapExtent visibleExtent() const;

 private:
  std::shared_ptr<const MapProjection> projection_;
  PlaneBox box_;
  double left_ = 0.0;
  double top_ = 0.0;
  double width_ = 1.0;
  double scale_ = 1.0;  // pixels per metre
};

}  // namespace metdb

#endif  // METDB_TOOL_GEO_MAPFRAME_H_
