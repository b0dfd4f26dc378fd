#ifndef METDB_TOOL_GEO_MAPSTYLE_H_
#define METDB_TOOL_GEO_MAPSTYLE_H_

#include <cstddef>
#include <cstdint>
#include <string>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace metdb {

// The map's colours (0xRRGGBB), type and the cairo calls that every layer
// of it makes to draw text and colour.
namespace mapstyle {

// Colours of the groups of dots; kPalette[kGroupColours] is the colour that
// the groups beyond the palette share.
constexpr std::size_t kGroupColours = 10;
extern const std::uint32_t kPalette[kGroupColours + 1];

constexpr std::uint32_t kPaper = 0xffffff;
constexpr std::uint32_t kSea = 0xdcebf5;
constexpr std::uint32_t kLand = 0xf1ede2;
constexpr std::uint32_t kCoast = 0x7f94a6;
constexpr std::uint32_t kBorder = 0xb9ab9a;
constexpr std::uint32_t kGrid = 0xb4c7d6;
constexpr std::uint32_t kFrame = 0x7d8c99;
constexpr std::uint32_t kInk = 0x222222;
constexpr std::uint32_t kRing = 0xc0392b;

void setColour(cairo_t* cr, std::uint32_t rgb, double alpha = 1.0);
void setFont(cairo_t* cr, double size, bool bold = false);

// The width of text (shown as text::drawable gives it) in the current
// font.
double textWidth(cairo_t* cr, const std::string& text);

// Draws text with its baseline at y, starting at x (align 0), centred on x
// (0.5) or ending at x (1).
void showText(cairo_t* cr, const std::string& text, double x, double y, double align = 0.0);

// Draws text as showText does over a halo of the paper's colour, so that it
// reads over lines and land.
void showHaloText(cairo_t* cr, const std::string& text, double x, double y, double align = 0.0);

// A cairo context on a one-pixel surface, for measuring text before a
// picture exists; owns both.
class Measure {
 public:
  explicit Measure(double fontSize);
  ~Measure();
  Measure(const Measure&) = delete;
  Measure& operator=(const Measure&) = delete;
  cairo_t* get() const { return cr_; }

 private:
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

// "0°", "45°N", "12.5°S"; "0°", "30°E", "120°W" (a step below a degree
// gets a decimal).
std::string latitudeLabel(double latitude);
std::string longitudeLabel(double longitude);

// A round length at most maxMetres: 1, 2 or 5 times a power of ten, in
// metres (at least 1 m).
double roundLength(double maxMetres);
// "500 m", "20 km", "1,000 km".
std::string lengthLabel(double metres);

}  // namespace mapstyle
}  // namespace metdb

#endif  // METDB_TOOL_GEO_MAPSTYLE_H_
