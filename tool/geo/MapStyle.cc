#include "tool/geo/MapStyle.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tool/text/Text.h"

namespace metdb {
namespace mapstyle {

namespace {
const char kFont[] = "sans-serif";

std::string degrees(double value, const char* positive, const char* negative) {
  double magnitude = std::fabs(value);
  char buffer[32];
  if (std::fabs(magnitude - std::round(magnitude)) < 1e-6) {
    std::snprintf(buffer, sizeof buffer, "%.0f°", std::round(magnitude));
  } else {
    std::snprintf(buffer, sizeof buffer, "%.2f", magnitude);
    std::string s = buffer;
    while (s.back() == '0') s.pop_back();
    std::snprintf(buffer, sizeof buffer, "%s°", s.c_str());
  }
  std::string label = buffer;
  if (magnitude < 1e-6) return label;
  return label + (value > 0 ? positive : negative);
}
}  // namespace

const std::uint32_t kPalette[kGroupColours + 1] = {
    0x1f77b4, 0xff7f0e, 0x2ca02c, 0xd62728, 0x9467bd,
    0x8c564b, 0xe377c2, 0x17becf, 0xbcbd22, 0x4d4d4d,
    0x8f8f8f,  // the groups beyond the palette
};

void setColour(cairo_t* cr, std::uint32_t rgb, double alpha) {
  cairo_set_source_rgba(cr, ((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0,
                        (rgb & 0xff) / 255.0, alpha);
}

void setFont(cairo_t* cr, double size, bool bold) {
  cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

double textWidth(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text::drawable(text).c_str(), &extents);
  return extents.x_advance;
}

void showText(cairo_t* cr, const std::string& text, double x, double y, double align) {
  std::string shown = text::drawable(text);
  cairo_move_to(cr, x - align * textWidth(cr, shown), y);
  cairo_show_text(cr, shown.c_str());
}

void showHaloText(cairo_t* cr, const std::string& text, double x, double y, double align) {
  std::string shown = text::drawable(text);
  cairo_save(cr);
  cairo_move_to(cr, x - align * textWidth(cr, shown), y);
  cairo_text_path(cr, shown.c_str());
  setColour(cr, kPaper, 0.85);
  cairo_font_extents_t font;
  cairo_font_extents(cr, &font);
  cairo_set_line_width(cr, std::max(2.0, font.ascent * 0.3));
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
  cairo_restore(cr);
  showText(cr, shown, x, y, align);
}

Measure::Measure(double fontSize)
    : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1)), cr_(cairo_create(surface_)) {
  setFont(cr_, fontSize);
}

Measure::~Measure() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

std::string latitudeLabel(double latitude) { return degrees(latitude, "N", "S"); }

std::string longitudeLabel(double longitude) {
  double reduced = std::remainder(longitude, 360.0);
  if (std::fabs(std::fabs(reduced) - 180.0) < 1e-9) return "180°";
  return degrees(reduced, "E", "W");
}

double roundLength(double maxMetres) {
  if (!(maxMetres >= 1.0)) return 1.0;
  double power = std::pow(10.0, std::floor(std::log10(maxMetres)));
  for (double step : {5.0, 2.0, 1.0}) {
    if (step * power <= maxMetres) return step * power;
  }
  return power;
}

std::string lengthLabel(double metres) {
  char buffer[32];
  if (metres < 1000.0) {
    std::snprintf(buffer, sizeof buffer, "%.0f m", metres);
    return buffer;
  }
  double km = metres / 1000.0;
  if (km < 1000.0) {
    std::snprintf(buffer, sizeof buffer, "%g km", km);
    return buffer;
  }
  long whole = std::lround(km);
  std::snprintf(buffer, sizeof buffer, "%ld,%03ld km", whole / 1000, whole % 1000);
  return buffer;
}

}  // namespace mapstyle
}  // namespace metdb
