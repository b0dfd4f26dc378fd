#ifndef METDB_TOOL_GEO_WORLDMAP_H_
#define METDB_TOOL_GEO_WORLDMAP_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace metdb {

// A picture of points on an equirectangular frame of the whole globe
// (longitude -180..180 from left to right, latitude 90..-90 from top to
// bottom, a degree as long one way as the other): a graticule every 30
// degrees with labelled axes, a dot per point coloured by its group, a
// legend of the groups with their counts below the frame, and a title of
// two lines above it. Drawn with cairo, into SVG or PNG.
//
// A point that falls on the same pixel of the frame as an earlier one of
// the same colour is counted but not kept, so that memory and the size of
// an SVG file grow with the picture, not with the number of points.
class WorldMap {
 public:
  static constexpr int kMinWidth = 300;
  static constexpr int kMaxWidth = 8000;
  // Groups beyond this many share one colour and one legend entry.
  static constexpr std::size_t kColours = 10;

  // width: the picture's width in pixels, kMinWidth..kMaxWidth (clamped).
  explicit WorldMap(int width);

  // The title's first line, in a larger type, and its second (may be
  // empty). Text that is not UTF-8 is shown with '?' for the bytes at fault.
  void setTitle(const std::string& title, const std::string& subtitle);
  // A message shown in the middle of the frame, over everything else (say,
  // that nothing is selected); empty for none.
  void setNotice(const std::string& notice);

  // Adds a point of group (groups are told apart ignoring ASCII case and
  // shown under the name they are first given; an empty name is shown as
  // "(none)"). The position must be on the globe: finite, latitude within
  // -90..90, longitude within -180..180.
  void add(const std::string& group, double latitude, double longitude);

  // The number of points added.
  long count() const { return count_; }

  int width() const { return width_; }
  // The frame's height plus the title above it and the axis labels and the
  // legend below; the legend's rows depend on the groups added.
  int height() const;

  // Where a position falls in the picture, in pixels from its top left
  // corner.
  double x(double longitude) const;
  double y(double latitude) const;

  // The colour of group's dots, as 0xRRGGBB. The group must have been
  // added.
  std::uint32_t colourOf(const std::string& group) const;

  // Draws the picture into a new file at path (SVG or PNG), replacing any
  // file there; a failure may leave a partial file behind, so write to a
  // file of your own (FileReplacement). Throws Error naming shownAs (the
  // file the user asked for; path when empty) and cairo's reason when
  // cairo fails.
  void writeSvg(const std::string& path, const std::string& shownAs = "") const;
  void writePng(const std::string& path, const std::string& shownAs = "") const;

 private:
  struct Group {
    std::string name;
    long count = 0;
    std::size_t colour = 0;
  };
  struct Dot {
    float longitude;
    float latitude;
    std::uint8_t colour;
  };
  struct LegendEntry {
    std::size_t colour;
    std::string text;
    double x;
    double baseline;
  };

  // The legend's entries in rows below the frame; *bottom is set to the
  // lowest pixel the legend takes.
  std::vector<LegendEntry> legend(double* bottom) const;
  void draw(cairo_t* cr) const;
  // Draws onto surface (which this call destroys) and, for a PNG, writes it
  // to path.
  void finish(cairo_surface_t* surface, cairo_t* cr, const std::string& path, bool png,
              const std::string& shownAs) const;

  int width_;
  double fontSize_;
  double left_;  // the frame's edges
  double top_;
  double frameWidth_;
  std::string title_;
  std::string subtitle_;
  std::string notice_;
  long count_ = 0;
  std::vector<Group> groups_;
  std::map<std::string, std::size_t> groupByKey_;
  std::vector<Dot> dots_;
  // One bit per frame pixel and colour: whether a dot is kept there.
  std::vector<std::vector<bool>> taken_;
};

}  // namespace metdb

#endif  // METDB_TOOL_GEO_WORLDMAP_H_
