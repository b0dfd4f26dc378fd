#ifndef METDB_TOOL_GEO_WORLDMAP_H_
#define METDB_TOOL_GEO_WORLDMAP_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "tool/geo/DotLayer.h"
#include "tool/geo/LabelLayer.h"
#include "tool/geo/MapFrame.h"
#include "tool/geo/MapLegend.h"
#include "tool/geo/MapOutlines.h"
#include "tool/geo/MapStyle.h"
#include "tool/geo/ScaleBar.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace metdb {

// A picture of points on a map, drawn with cairo into SVG or PNG: a title
// of two lines; a frame (MapFrame: a projection and the part of its plane
// shown) with the sea, the land, borders and coastlines when outlines are
// given, a grid of parallels and meridians labelled at the frame's edges,
// rings of distance round the centre of an azimuthal frame when asked for,
// a dot per point coloured by its group, and the points' names when they
// are few; below the frame a legend of the groups with their counts and a
// scale bar.
//
// Points are binned into the frame's pixels as they are added (DotLayer),
// so that memory, drawing time and the size of an SVG grow with the
// picture, not with the number of points.
class WorldMap {
 public:
  static constexpr int kMinWidth = 300;
  static constexpr int kMaxWidth = 8000;
  // The groups with the most points, this many, get a colour each; the
  // others share one colour and one legend entry.
  static constexpr std::size_t kColours = mapstyle::kGroupColours;
  // Names are written beside the dots when at most this many points are
  // in the frame (each where it overlaps no other name or dot).
  static constexpr long kLabelLimit = 200;
  // An SVG holds a circle per dotted pixel up to this many such pixels;
  // beyond, its dots are one embedded image.
  static constexpr std::size_t kVectorDotLimit = 20000;

  // A picture width pixels wide (clamped to kMinWidth..kMaxWidth) of
  // frame; the frame is placed in it here (frame() tells where).
  WorldMap(int width, MapFrame frame);
  // The whole world, equirectangular.
  explicit WorldMap(int width);

  // The title's first line, in a larger type, and its second (may be
  // empty). Text that is not UTF-8 is shown with '?' for the bytes at fault.
  void setTitle(const std::string& title, const std::string& subtitle);
  // A message shown in the middle of the frame, over everything else (say,
  // that nothing is selected); empty for none.
  void setNotice(const std::string& notice);
  // The outlines to draw under the dots (not owned: they must outlive the
  // writes); nullptr for none.
  void setOutlines(const MapOutlines* outlines) { outlines_ = outlines; }
  // Rings of distance out to radiusMetres round the centre of an azimuthal
  // frame (ignored for other frames); 0 for none.
  void setRings(double radiusMetres) { ringsMetres_ = radiusMetres; }
  // The dots' diameter in pixels; 0 (the default) scales it to the number
  // of points and the frame's size (see dotRadius).
  void setDotSize(double diameter) { dotSize_ = diameter; }

  // The group of that name, made when new (groups are told apart ignoring
  // ASCII case and shown under the name they are first given; an empty name
  // is shown as "(none)"). The legend lists groups in the order they were
  // made.
  std::size_t group(const std::string& name);

  // Adds a point of group (from group()) at a position (latitude -90..90,
  // any finite longitude), with the name to write beside it (may be empty).
  // Returns false, and counts it in outside(), when the position falls
  // outside the frame or has no image.
  bool add(std::size_t group, double latitude, double longitude, const std::string& name = "");
  bool add(const std::string& group, double latitude, double longitude,
           const std::string& name = "") {
    return add(this->group(group), latitude, longitude, name);
  }

  // Points in the frame, and points left out for falling outside it.
  long count() const { return dots_.count(); }
  long outside() const { return outside_; }

  int width() const { return width_; }
  // The frame's height plus the title above it and the grid's labels and
  // the legend below; the legend's rows depend on the groups added.
  int height() const;

  const MapFrame& frame() const { return frame_; }
  // Where a position falls in the picture, in pixels from its top left
  // corner; false where the projection has no image for it.
  bool pixel(double latitude, double longitude, double* x, double* y) const {
    return frame_.project(latitude, longitude, x, y);
  }

  // The colour of group's dots, as 0xRRGGBB: the palette's colours go to
  // the kColours groups with the most points in the frame (of equal counts
  // the first made), in the order they were made. The group must exist.
  std::uint32_t colourOf(const std::string& group) const;

  // The dots' radius in pixels: half setDotSize's diameter, or a tenth of
  // the side of the frame's area per point, within 1.2 and width/240 (at
  // least 3). Their opacity: 1 up to 1000 points, then falling as the
  // count grows, to 0.2 from about 214,000 on; a pixel of several points is as
  // opaque as that many dots over one another.
  double dotRadius() const;
  double dotOpacity() const;

  // The names written, where they are; empty when there are more points
  // than kLabelLimit.
  std::vector<PlacedLabel> labels() const;

  // Draws the picture as SVG or PNG into out; a failure may leave part of
  // it written, so write to a file of your own (FileReplacement). Throws
  // Error naming shownAs (the file the user asked for) and cairo's reason
  // when cairo fails or out refuses the bytes.
  void writeSvg(std::ostream& out, const std::string& shownAs) const;
  void writePng(std::ostream& out, const std::string& shownAs) const;
  // The same into the file path, which is replaced durably only when the
  // picture is complete (FileReplacement); shownAs "" names path.
  void writeSvg(const std::string& path, const std::string& shownAs = "") const;
  void writePng(const std::string& path, const std::string& shownAs = "") const;

 private:
  struct Group {
    std::string name;
    long count = 0;
  };
  struct NamedPoint {
    double x, y;
    std::string name;
  };

  // The colour of each group by its index.
  std::vector<std::uint32_t> colours() const;
  std::vector<LegendItem> legendItems() const;
  double legendTop() const;
  // The legend, beside the scale bar.
  MapLegend legend(const ScaleBar& bar) const;
  void draw(cairo_t* cr, bool vectorDots) const;
  // Draws onto surface (which this call destroys) and, for a PNG, writes it
  // to png.
  void finish(cairo_surface_t* surface, cairo_t* cr, std::ostream* png,
              const std::string& shownAs) const;

  int width_;
  double fontSize_;
  MapFrame frame_;
  std::string title_;
  std::string subtitle_;
  std::string notice_;
  const MapOutlines* outlines_ = nullptr;
  double ringsMetres_ = 0.0;
  double dotSize_ = 0.0;
  long outside_ = 0;
  std::vector<Group> groups_;
  std::map<std::string, std::size_t> groupByKey_;
  DotLayer dots_;
  // The first kLabelLimit + 1 points with their names.
  std::vector<NamedPoint> named_;
};

}  // namespace metdb

#endif  // METDB_TOOL_GEO_WORLDMAP_H_
