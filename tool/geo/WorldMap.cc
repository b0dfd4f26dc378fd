#include "tool/geo/WorldMap.h"

#include "tool/Error.h"

#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "tool/database/FileReplacement.h"
#include "tool/geo/DistanceRings.h"
#include "tool/geo/Graticule.h"
#include "tool/geo/MapLegend.h"
#include "tool/geo/OutlineLayer.h"
#include "tool/geo/ScaleBar.h"
#include "tool/text/Text.h"

namespace metdb {

using namespace mapstyle;  // NOLINT: the map's own colours and text helpers

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

namespace {

double fontSizeFor(int width) { return std::clamp(width / 90.0, 10.0, 60.0); }

// Room beside the frame for the grid's labels, and above the frame for the
// title's two lines and the labels.
double sideRoom(double fontSize) { return fontSize + fontSize * 4.0; }
double topRoom(double fontSize) {
  return fontSize + fontSize * 1.4 + fontSize * 1.5 + fontSize * 0.5 + fontSize * 1.6;
}

MapFrame placed(MapFrame frame, int width) {
  double fontSize = fontSizeFor(width);
  frame.place(sideRoom(fontSize), topRoom(fontSize), width - 2 * sideRoom(fontSize));
  return frame;
}

}  // namespace

WorldMap::WorldMap(int width, MapFrame frame)
    : width_(std::clamp(width, kMinWidth, kMaxWidth)),
      fontSize_(fontSizeFor(width_)),
      frame_(placed(std::move(frame), width_)),
      dots_(static_cast<int>(std::ceil(frame_.width())),
            static_cast<int>(std::ceil(frame_.height()))) {}

WorldMap::WorldMap(int width) : WorldMap(width, MapFrame::world()) {}

void WorldMap::setTitle(const std::string& title, const std::string& subtitle) {
  title_ = title;
  subtitle_ = subtitle;
}

void WorldMap::setNotice(const std::string& notice) { notice_ = notice; }

std::size_t WorldMap::group(const std::string& name) {
  std::string key = text::foldCase(name);
  auto found = groupByKey_.find(key);
  if (found != groupByKey_.end()) return found->second;
  std::size_t g = groups_.size();
  groups_.push_back({name.empty() ? "(none)" : name, 0});
  groupByKey_.emplace(key, g);
  return g;
}

bool WorldMap::add(std::size_t group, double latitude, double longitude, const std::string& name) {
  double x, y;
  if (group >= groups_.size() || !frame_.project(latitude, longitude, &x, &y) ||
      !dots_.add(x - frame_.left(), y - frame_.top(),
                 static_cast<std::uint16_t>(std::min<std::size_t>(group, UINT16_MAX)))) {
    ++outside_;
    return false;
  }
  ++groups_[group].count;
  if (named_.size() <= static_cast<std::size_t>(kLabelLimit)) named_.push_back({x, y, name});
  return true;
}

std::vector<std::uint32_t> WorldMap::colours() const {
  std::vector<std::size_t> order(groups_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
    return groups_[a].count > groups_[b].count;
  });
  std::vector<bool> coloured(groups_.size(), false);
  for (std::size_t i = 0; i < order.size() && i < kColours; ++i) coloured[order[i]] = true;
  std::vector<std::uint32_t> result(groups_.size(), kPalette[kColours]);
  std::size_t next = 0;
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    if (coloured[g]) result[g] = kPalette[next++];
  }
  return result;
}

std::uint32_t WorldMap::colourOf(const std::string& group) const {
  return colours()[groupByKey_.at(text::foldCase(group))];
}

double WorldMap::dotRadius() const {
  if (dotSize_ > 0.0) return dotSize_ / 2.0;
  double n = std::max<double>(1.0, static_cast<double>(count()));
  double perPoint = std::sqrt(frame_.width() * frame_.height() / n);
  return std::clamp(0.1 * perPoint, 1.2, std::max(3.0, width_ / 240.0));
}

double WorldMap::dotOpacity() const {
  double n = static_cast<double>(count());
  if (n <= 1000.0) return 1.0;
  return std::max(0.2, std::pow(1000.0 / n, 0.3));
}

std::vector<LegendItem> WorldMap::legendItems() const {
  std::vector<std::uint32_t> colour = colours();
  std::vector<LegendItem> items;
  long others = 0;
  std::size_t otherGroups = 0;
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    if (groups_[g].count == 0) continue;
    if (colour[g] == kPalette[kColours]) {
      others += groups_[g].count;
      ++otherGroups;
    } else {
      items.push_back({colour[g], groups_[g].name + " (" + std::to_string(groups_[g].count) + ")"});
    }
  }
  if (otherGroups > 0) {
    items.push_back({kPalette[kColours],
                     text::plural(static_cast<long>(otherGroups), "other group", "other groups") +
                         " (" + std::to_string(others) + ")"});
  }
  return items;
}

double WorldMap::legendTop() const {
  return frame_.top() + frame_.height() + fontSize_ * 1.6 + fontSize_ * 0.5;
}

MapLegend WorldMap::legend(const ScaleBar& bar) const {
  double room = bar.shown() ? bar.width() + fontSize_ * 2 : 0.0;
  return MapLegend(legendItems(), fontSize_, frame_.left(), legendTop(), frame_.width() - room);
}

int WorldMap::height() const {
  ScaleBar bar(frame_, fontSize_);
  double bottom = std::max(legend(bar).bottom(), legendTop() + bar.height());
  return static_cast<int>(std::ceil(bottom + fontSize_));
}

std::vector<PlacedLabel> WorldMap::labels() const {
  if (count() > kLabelLimit || named_.empty()) return {};
  std::vector<DotLabel> wanted;
  for (const NamedPoint& p : named_) wanted.push_back({p.x, p.y, p.name});
  Measure measure(fontSize_ * 0.85);
  return placeLabels(measure.get(), wanted, dotRadius(),
                     {frame_.left(), frame_.top(), frame_.left() + frame_.width(),
                      frame_.top() + frame_.height()});
}

void WorldMap::draw(cairo_t* cr, bool vectorDots) const {
  double pad = fontSize_;
  double line = std::max(1.0, width_ / 1200.0);
  setColour(cr, kPaper);
  cairo_paint(cr);

  // Title.
  setColour(cr, kInk);
  setFont(cr, fontSize_ * 1.4, true);
  showText(cr, title_, frame_.left(), pad + fontSize_ * 1.1);
  setFont(cr, fontSize_);
  showText(cr, subtitle_, frame_.left(), pad + fontSize_ * 1.4 + fontSize_ * 1.3);

  // The frame: sea, land, grid, its edge.
  setColour(cr, kSea);
  cairo_rectangle(cr, frame_.left(), frame_.top(), frame_.width(), frame_.height());
  cairo_fill(cr);
  if (outlines_ != nullptr) drawOutlines(cr, frame_, *outlines_, line * 0.8);
  drawGraticule(cr, frame_, line * 0.7, fontSize_);
  if (ringsMetres_ > 0.0 && frame_.projection().kind() == ProjectionKind::kAzimuthal) {
    drawDistanceRings(cr, frame_, ringsMetres_, fontSize_, line);
  }
  setColour(cr, kFrame);
  cairo_set_line_width(cr, line);
  cairo_rectangle(cr, frame_.left(), frame_.top(), frame_.width(), frame_.height());
  cairo_stroke(cr);

  dots_.draw(cr, frame_.left(), frame_.top(), colours(), dotRadius(), dotOpacity(), vectorDots);

  setFont(cr, fontSize_ * 0.85);
  drawLabels(cr, labels());

  // Below the frame: the legend, and the scale bar at the right.
  ScaleBar bar(frame_, fontSize_);
  legend(bar).draw(cr);
  bar.draw(cr, frame_.left() + frame_.width(), legendTop() - fontSize_ * 0.2);

  if (!notice_.empty()) {
    setFont(cr, fontSize_ * 1.5, true);
    double w = textWidth(cr, notice_);
    double cx = frame_.left() + frame_.width() / 2;
    double cy = frame_.top() + frame_.height() / 2;
    setColour(cr, kPaper, 0.9);
    cairo_rectangle(cr, cx - w / 2 - pad, cy - fontSize_ * 1.5 - pad * 0.5, w + 2 * pad,
                    fontSize_ * 2.0 + pad);
    cairo_fill(cr);
    setColour(cr, kInk);
    showText(cr, notice_, cx, cy, 0.5);
  }
}

namespace {

// cairo's stream writer: hands each block to the std::ostream in closure.
cairo_status_t writeToStream(void* closure, const unsigned char* data, unsigned int length) {
  std::ostream* out = static_cast<std::ostream*>(closure);
  out->write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(length));
  return *out ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

void WorldMap::finish(cairo_surface_t* surface, cairo_t* cr, std::ostream* png,
                      const std::string& shownAs) const {
  cairo_status_t status = cairo_surface_status(surface);
  if (status == CAIRO_STATUS_SUCCESS) {
    draw(cr, png == nullptr && dots_.pixels() <= kVectorDotLimit);
    status = cairo_status(cr);
  }
  cairo_destroy(cr);
  if (status == CAIRO_STATUS_SUCCESS && png != nullptr) {
    status = cairo_surface_write_to_png_stream(surface, writeToStream, png);
  }
  cairo_surface_finish(surface);
  if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    throw Error("Cannot write \"" + shownAs + "\": " + cairo_status_to_string(status) + ".",
                Error::Cause::kSystem);
  }
}

void WorldMap::writeSvg(std::ostream& out, const std::string& shownAs) const {
  cairo_surface_t* surface =
      cairo_svg_surface_create_for_stream(writeToStream, &out, width_, height());
  finish(surface, cairo_create(surface), nullptr, shownAs);
}

void WorldMap::writePng(std::ostream& out, const std::string& shownAs) const {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height());
  finish(surface, cairo_create(surface), &out, shownAs);
}

void WorldMap::writeSvg(const std::string& path, const std::string& shownAs) const {
  FileReplacement file(path);
  writeSvg(file.out(), shownAs.empty() ? path : shownAs);
  file.commit();
}

void WorldMap::writePng(const std::string& path, const std::string& shownAs) const {
  FileReplacement file(path);
  writePng(file.out(), shownAs.empty() ? path : shownAs);
  file.commit();
}

}  // namespace metdb
