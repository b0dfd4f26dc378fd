// Reading back the pictures a map writes: a PNG's pixels, an SVG's
// shapes by colour.
#ifndef METDB_TESTS_TOOL_GEO_MAPPICTURE_H_
#define METDB_TESTS_TOOL_GEO_MAPPICTURE_H_

#include <cairo.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace maptest {

// A PNG file read back: its size and its pixels as 0xRRGGBB (width 0 when
// it cannot be read).
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  explicit Picture(const std::string& path) {
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
      width = cairo_image_surface_get_width(s);
      height = cairo_image_surface_get_height(s);
      int stride = cairo_image_surface_get_stride(s);
      const unsigned char* data = cairo_image_surface_get_data(s);
      for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
          std::uint32_t p;
          std::memcpy(&p, data + row * stride + column * 4, 4);
          pixels.push_back(p & 0xffffff);
        }
      }
    }
    cairo_surface_destroy(s);
  }
  std::uint32_t at(double x, double y) const {
    return pixels[static_cast<int>(y) * width + static_cast<int>(x)];
  }
  // Pixels of exactly this colour within the rectangle (all when omitted).
  long count(std::uint32_t rgb, double x0 = 0, double y0 = 0, double x1 = 1e9,
             double y1 = 1e9) const {
    long n = 0;
    for (int y = std::max(0, static_cast<int>(y0)); y < std::min<double>(height, y1); ++y) {
      for (int x = std::max(0, static_cast<int>(x0)); x < std::min<double>(width, x1); ++x) {
        n += pixels[y * width + x] == rgb;
      }
    }
    return n;
  }
};

// Whether a colour written by cairo into an SVG as "rgb(R%,G%,B%)" is rgb.
inline bool sameColour(const std::string& percentages, std::uint32_t rgb) {
  double r, g, b;
  if (std::sscanf(percentages.c_str(), "%lf%%,%lf%%,%lf%%", &r, &g, &b) != 3) return false;
  auto near = [](double percent, std::uint32_t channel) {
    return std::fabs(percent * 255.0 / 100.0 - channel) < 0.6;
  };
  return near(r, (rgb >> 16) & 0xff) && near(g, (rgb >> 8) & 0xff) && near(b, rgb & 0xff);
}

// The d attributes of the SVG's path elements filled (property "fill") or
// stroked ("stroke") in rgb.
inline std::vector<std::string> svgPaths(const std::string& svg, const std::string& property,
                                         std::uint32_t rgb) {
  std::vector<std::string> found;
  std::regex path("<path style=\"([^\"]*)\" d=\"([^\"]*)\"");
  std::regex colour(property + ":rgb\\(([^)]*)\\)");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), path); it != std::sregex_iterator();
       ++it) {
    std::string style = (*it)[1];
    std::smatch m;
    if (std::regex_search(style, m, colour) && sameColour(m[1], rgb)) found.push_back((*it)[2]);
  }
  return found;
}

// The points of a path's d attribute (pairs of numbers after its letters).
inline std::vector<std::pair<double, double>> pathPoints(const std::string& d) {
  std::vector<double> numbers;
  const char* p = d.c_str();
  while (*p != '\0') {
    char* end;
    double v = std::strtod(p, &end);
    if (end == p) {
      ++p;
    } else {
      numbers.push_back(v);
      p = end;
    }
  }
  std::vector<std::pair<double, double>> points;
  for (std::size_t i = 0; i + 1 < numbers.size(); i += 2) {
    points.emplace_back(numbers[i], numbers[i + 1]);
  }
  return points;
}

// A straight line of a path.
struct Segment {
  double x0, y0, x1, y1;
};

// The straight lines (L after M or L) of a path's d attribute.
inline std::vector<Segment> pathSegments(const std::string& d) {
  std::vector<Segment> segments;
  std::istringstream in(d);
  std::string token;
  double x = 0, y = 0;
  char command = 0;
  std::vector<double> numbers;
  auto flush = [&]() {
    if ((command == 'M' || command == 'L') && numbers.size() >= 2) {
      double nx = numbers[numbers.size() - 2], ny = numbers.back();
      if (command == 'L') segments.push_back({x, y, nx, ny});
      x = nx;
      y = ny;
    } else if (numbers.size() >= 2) {
      x = numbers[numbers.size() - 2];
      y = numbers.back();
    }
    numbers.clear();
  };
  while (in >> token) {
    if (std::isalpha(static_cast<unsigned char>(token[0]))) {
      flush();
      command = token[0];
    } else {
      numbers.push_back(std::strtod(token.c_str(), nullptr));
    }
  }
  flush();
  return segments;
}

}  // namespace maptest

#endif  // METDB_TESTS_TOOL_GEO_MAPPICTURE_H_
