#include "tool/geo/WorldMap.h"

#include "tool/Error.h"

#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "tool/text/Text.h"

namespace metdb {

namespace {

const char kFont[] = "sans-serif";

const std::uint32_t kPalette[WorldMap::kColours + 1] = {
    0x1f77b4, 0xff7f0e, 0x2ca02c, 0xd62728, 0x9467bd,
    0x8c564b, 0xe377c2, 0x17becf, 0xbcbd22, 0x7f7f7f,
    0x303030,  // the groups beyond the palette
};
const std::uint32_t kPaper = 0xffffff;
const std::uint32_t kSea = 0xeef3f8;
const std::uint32_t kGrid = 0xc9d3dd;
const std::uint32_t kAxis = 0x9aa8b6;
const std::uint32_t kInk = 0x222222;

void setColour(cairo_t* cr, std::uint32_t rgb, double alpha = 1.0) {
  cairo_set_source_rgba(cr, ((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0,
                        (rgb & 0xff) / 255.0, alpha);
}

void setFont(cairo_t* cr, double size, bool bold = false) {
  cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

double textWidth(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text::drawable(text).c_str(), &extents);
  return extents.x_advance;
}

// Draws text with its baseline at y, starting at x (align 0), centred on x
// (0.5) or ending at x (1).
void showText(cairo_t* cr, const std::string& text, double x, double y, double align = 0.0) {
  std::string shown = text::drawable(text);
  cairo_move_to(cr, x - align * textWidth(cr, shown), y);
  cairo_show_text(cr, shown.c_str());
}

// A context on a one-pixel surface, for measuring text.
class Measure {
 public:
  explicit Measure(double fontSize)
      : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1)),
        cr_(cairo_create(surface_)) {
    setFont(cr_, fontSize);
  }
  ~Measure() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  Measure(const Measure&) = delete;
  Measure& operator=(const Measure&) = delete;
  cairo_t* get() const { return cr_; }

 private:
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

std::string latitudeLabel(int latitude) {
  if (latitude == 0) return "0°";
  return std::to_string(std::abs(latitude)) + (latitude > 0 ? "°N" : "°S");
}

std::string longitudeLabel(int longitude) {
  if (longitude == 0) return "0°";
  return std::to_string(std::abs(longitude)) + (longitude > 0 ? "°E" : "°W");
}

}  // namespace

// The font library that cairo loads for text keeps its configuration and
// some font patterns for the life of the process and never frees them;
// LeakSanitizer would report them at the exit of every program that drew a
// map. No code of ours allocates through that library, so nothing of ours
// is hidden by this.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define METDB_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(METDB_ADDRESS_SANITIZER)
#define METDB_SANITIZER_HOOK extern "C" __attribute__((visibility("default"), used))
METDB_SANITIZER_HOOK const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
// Without the list of suppressions used, which would follow the tool's own
// messages after every map.
METDB_SANITIZER_HOOK const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif

WorldMap::WorldMap(int width)
    : width_(std::clamp(width, kMinWidth, kMaxWidth)),
      fontSize_(std::clamp(width_ / 90.0, 10.0, 60.0)) {
  Measure measure(fontSize_);
  double labels = 0.0;
  for (int latitude = -90; latitude <= 90; latitude += 30) {
    labels = std::max(labels, textWidth(measure.get(), latitudeLabel(latitude)));
  }
  double pad = fontSize_;
  left_ = pad + labels + pad * 0.5;
  double right = pad + textWidth(measure.get(), longitudeLabel(180)) / 2;
  frameWidth_ = width_ - left_ - right;
  // The title's two lines.
  top_ = pad + fontSize_ * 1.4 + fontSize_ * 1.5 + pad;
  taken_.resize(kColours + 1);
}

void WorldMap::setTitle(const std::string& title, const std::string& subtitle) {
  title_ = title;
  subtitle_ = subtitle;
}

void WorldMap::setNotice(const std::string& notice) { notice_ = notice; }

double WorldMap::x(double longitude) const {
  return left_ + (longitude + 180.0) / 360.0 * frameWidth_;
}

double WorldMap::y(double latitude) const {
  return top_ + (90.0 - latitude) / 180.0 * (frameWidth_ / 2);
}

void WorldMap::add(const std::string& group, double latitude, double longitude) {
  std::string key = text::foldCase(group);
  auto found = groupByKey_.find(key);
  std::size_t g;
  if (found == groupByKey_.end()) {
    g = groups_.size();
    groups_.push_back({group.empty() ? "(none)" : group, 0, std::min(g, kColours)});
    groupByKey_.emplace(key, g);
  } else {
    g = found->second;
  }
  ++groups_[g].count;
  ++count_;

  std::size_t colour = groups_[g].colour;
  std::size_t columns = static_cast<std::size_t>(frameWidth_) + 1;
  std::size_t rows = static_cast<std::size_t>(frameWidth_ / 2) + 1;
  std::vector<bool>& taken = taken_[colour];
  if (taken.empty()) taken.resize(columns * rows);
  // Clamped before the conversion, so that a position off the globe cannot
  // index outside the bits.
  auto cell = [](double offset, std::size_t count) -> std::size_t {
    if (!(offset > 0.0)) return 0;  // NaN too
    return static_cast<std::size_t>(std::min(offset, static_cast<double>(count - 1)));
  };
  std::size_t column = cell(x(longitude) - left_, columns);
  std::size_t row = cell(y(latitude) - top_, rows);
  if (taken[row * columns + column]) return;
  taken[row * columns + column] = true;
  dots_.push_back({static_cast<float>(longitude), static_cast<float>(latitude),
                   static_cast<std::uint8_t>(colour)});
}

std::uint32_t WorldMap::colourOf(const std::string& group) const {
  return kPalette[groups_.at(groupByKey_.at(text::foldCase(group))).colour];
}

std::vector<WorldMap::LegendEntry> WorldMap::legend(double* bottom) const {
  Measure measure(fontSize_);
  double pad = fontSize_;
  double frameBottom = y(-90.0);
  // Below the longitude labels.
  double baseline = frameBottom + pad * 0.5 + fontSize_ + pad + fontSize_;
  std::vector<LegendEntry> entries;
  long others = 0;
  std::size_t otherGroups = 0;
  for (const Group& group : groups_) {
    if (group.colour < kColours) {
      entries.push_back(
          {group.colour, group.name + " (" + std::to_string(group.count) + ")", 0, 0});
    } else {
      others += group.count;
      ++otherGroups;
    }
  }
  if (otherGroups > 0) {
    entries.push_back(
        {kColours, std::to_string(otherGroups) + " other groups (" + std::to_string(others) + ")",
         0, 0});
  }
  if (entries.empty()) {
    *bottom = frameBottom + pad * 0.5 + fontSize_ + pad;
    return entries;
  }
  double rowHeight = fontSize_ * 1.6;
  double cursor = left_;
  for (LegendEntry& entry : entries) {
    double marker = fontSize_ * 1.2;
    double w = marker + textWidth(measure.get(), entry.text);
    if (cursor > left_ && cursor + w > left_ + frameWidth_) {
      cursor = left_;
      baseline += rowHeight;
    }
    entry.x = cursor;
    entry.baseline = baseline;
    cursor += w + fontSize_ * 1.5;
  }
  *bottom = baseline + fontSize_ * 0.5 + pad;
  return entries;
}

int WorldMap::height() const {
  double bottom;
  legend(&bottom);
  return static_cast<int>(std::ceil(bottom));
}

void WorldMap::draw(cairo_t* cr) const {
  double pad = fontSize_;
  double frameHeight = frameWidth_ / 2;
  setColour(cr, kPaper);
  cairo_paint(cr);

  // Title.
  setColour(cr, kInk);
  setFont(cr, fontSize_ * 1.4, true);
  showText(cr, title_, left_, pad + fontSize_ * 1.1);
  setFont(cr, fontSize_);
  showText(cr, subtitle_, left_, pad + fontSize_ * 1.4 + fontSize_ * 1.3);

  // Frame and graticule.
  setColour(cr, kSea);
  cairo_rectangle(cr, left_, top_, frameWidth_, frameHeight);
  cairo_fill(cr);
  double line = std::max(1.0, width_ / 1200.0);
  cairo_set_line_width(cr, line);
  for (int longitude = -150; longitude <= 150; longitude += 30) {
    setColour(cr, longitude == 0 ? kAxis : kGrid);
    cairo_move_to(cr, x(longitude), top_);
    cairo_line_to(cr, x(longitude), top_ + frameHeight);
    cairo_stroke(cr);
  }
  for (int latitude = -60; latitude <= 60; latitude += 30) {
    setColour(cr, latitude == 0 ? kAxis : kGrid);
    cairo_move_to(cr, left_, y(latitude));
    cairo_line_to(cr, left_ + frameWidth_, y(latitude));
    cairo_stroke(cr);
  }
  setColour(cr, kAxis);
  cairo_rectangle(cr, left_, top_, frameWidth_, frameHeight);
  cairo_stroke(cr);

  // Axis labels.
  setColour(cr, kInk);
  setFont(cr, fontSize_ * 0.9);
  for (int longitude = -180; longitude <= 180; longitude += 30) {
    showText(cr, longitudeLabel(longitude), x(longitude),
             top_ + frameHeight + pad * 0.5 + fontSize_ * 0.9, 0.5);
  }
  for (int latitude = -90; latitude <= 90; latitude += 30) {
    showText(cr, latitudeLabel(latitude), left_ - pad * 0.5, y(latitude) + fontSize_ * 0.32, 1.0);
  }

  // Dots, a colour at a time, in one path per run of dots (an SVG gets a
  // path element per run, not per dot).
  double radius = std::max(1.5, width_ / 400.0);
  const std::size_t kRun = 2000;
  for (std::size_t colour = 0; colour <= kColours; ++colour) {
    setColour(cr, kPalette[colour]);
    std::size_t inPath = 0;
    for (const Dot& dot : dots_) {
      if (dot.colour != colour) continue;
      cairo_new_sub_path(cr);
      cairo_arc(cr, x(dot.longitude), y(dot.latitude), radius, 0, 2 * M_PI);
      if (++inPath == kRun) {
        cairo_fill(cr);
        inPath = 0;
      }
    }
    if (inPath > 0) cairo_fill(cr);
  }

  // Legend.
  double bottom;
  setFont(cr, fontSize_);
  for (const LegendEntry& entry : legend(&bottom)) {
    setColour(cr, kPalette[entry.colour]);
    cairo_arc(cr, entry.x + fontSize_ * 0.4, entry.baseline - fontSize_ * 0.35, fontSize_ * 0.4, 0,
              2 * M_PI);
    cairo_fill(cr);
    setColour(cr, kInk);
    showText(cr, entry.text, entry.x + fontSize_ * 1.2, entry.baseline);
  }

  if (!notice_.empty()) {
    setFont(cr, fontSize_ * 1.5, true);
    double w = textWidth(cr, notice_);
    double cx = left_ + frameWidth_ / 2;
    double cy = top_ + frameHeight / 2;
    setColour(cr, kPaper, 0.9);
    cairo_rectangle(cr, cx - w / 2 - pad, cy - fontSize_ * 1.5 - pad * 0.5, w + 2 * pad,
                    fontSize_ * 2.0 + pad);
    cairo_fill(cr);
    setColour(cr, kInk);
    showText(cr, notice_, cx, cy, 0.5);
  }
}

void WorldMap::finish(cairo_surface_t* surface, cairo_t* cr, const std::string& path, bool png,
                      const std::string& shownAs) const {
  cairo_status_t status = cairo_surface_status(surface);
  if (status == CAIRO_STATUS_SUCCESS) {
    draw(cr);
    status = cairo_status(cr);
  }
  cairo_destroy(cr);
  if (status == CAIRO_STATUS_SUCCESS && png) {
    status = cairo_surface_write_to_png(surface, path.c_str());
  }
  cairo_surface_finish(surface);
  if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    throw Error("Cannot write \"" + (shownAs.empty() ? path : shownAs) +
                "\": " + cairo_status_to_string(status) + ".");
  }
}

void WorldMap::writeSvg(const std::string& path, const std::string& shownAs) const {
  cairo_surface_t* surface = cairo_svg_surface_create(path.c_str(), width_, height());
  finish(surface, cairo_create(surface), path, false, shownAs);
}

void WorldMap::writePng(const std::string& path, const std::string& shownAs) const {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height());
  finish(surface, cairo_create(surface), path, true, shownAs);
}

}  // namespace metdb
