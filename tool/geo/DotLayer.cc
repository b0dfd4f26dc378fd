#include "tool/geo/DotLayer.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "tool/geo/MapStyle.h"

namespace metdb {

namespace {

double opacity(double alpha, std::uint32_t count) {
  return 1.0 - std::pow(1.0 - alpha, static_cast<double>(std::min<std::uint32_t>(count, 64)));
}

}  // namespace

DotLayer::DotLayer(int width, int height)
    : width_(std::max(1, width)), height_(std::max(1, height)) {}

bool DotLayer::add(double x, double y, std::uint16_t group) {
  if (!(x >= 0.0 && x < width_ && y >= 0.0 && y < height_)) return false;  // NaN too
  if (cells_.empty()) cells_.assign(static_cast<std::size_t>(width_) * height_, Cell{0, 0, 0});
  Cell& c = cells_[static_cast<std::size_t>(y) * width_ + static_cast<std::size_t>(x)];
  if (c.count == 0) {
    ++occupied_;
    c.group = group;
    c.votes = 1;
  } else if (c.group == group) {
    if (c.votes < UINT8_MAX) ++c.votes;
  } else if (--c.votes == 0) {
    c.group = group;
    c.votes = 1;
  }
  if (c.count < UINT8_MAX) ++c.count;
  ++count_;
  return true;
}

void DotLayer::draw(cairo_t* cr, double left, double top, const std::vector<std::uint32_t>& colours,
                    double radius, double alpha, bool vector) const {
  if (occupied_ == 0) return;
  if (vector) {
    drawVectors(cr, left, top, colours, radius, alpha);
  } else {
    drawRaster(cr, left, top, colours, radius, alpha);
  }
}

void DotLayer::drawRaster(cairo_t* cr, double left, double top,
                          const std::vector<std::uint32_t>& colours, double radius,
                          double alpha) const {
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_);
  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> owner(image, cairo_surface_destroy);
  if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) return;
  cairo_surface_flush(image);
  unsigned char* data = cairo_image_surface_get_data(image);
  int stride = cairo_image_surface_get_stride(image);

  // How much of each pixel around a dot's middle the disc covers, found
  // by sampling 4 x 4 points in the pixel.
  int reach = static_cast<int>(std::ceil(radius + 0.5));
  int side = 2 * reach + 1;
  std::vector<float> cover(static_cast<std::size_t>(side) * side, 0.0f);
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      int inside = 0;
      for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
          double px = dx - 0.5 + (sx + 0.5) / 4.0;
          double py = dy - 0.5 + (sy + 0.5) / 4.0;
          if (px * px + py * py <= radius * radius) ++inside;
        }
      }
      cover[(dy + reach) * side + dx + reach] = inside / 16.0f;
    }
  }

  forEachPixel([&](double cx, double cy, std::uint16_t group, std::uint32_t count) {
    std::uint32_t rgb = group < colours.size() ? colours[group] : mapstyle::kInk;
    float a = static_cast<float>(opacity(alpha, count));
    float r = ((rgb >> 16) & 0xff), g = ((rgb >> 8) & 0xff), b = (rgb & 0xff);
    int x0 = static_cast<int>(cx), y0 = static_cast<int>(cy);
    for (int dy = -reach; dy <= reach; ++dy) {
      int y = y0 + dy;
      if (y < 0 || y >= height_) continue;
      auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
      for (int dx = -reach; dx <= reach; ++dx) {
        int x = x0 + dx;
        if (x < 0 || x >= width_) continue;
        float c = cover[(dy + reach) * side + dx + reach] * a;
        if (c <= 0.0f) continue;
        // Premultiplied ARGB: the dot over what is there.
        std::uint32_t d = row[x];
        float keep = 1.0f - c;
        auto channel = [&](int shift, float source) {
          float v = source * c + static_cast<float>((d >> shift) & 0xff) * keep;
          return static_cast<std::uint32_t>(std::min(255.0f, v + 0.5f)) << shift;
        };
        row[x] = channel(24, 255.0f) | channel(16, r) | channel(8, g) | channel(0, b);
      }
    }
  });
  cairo_surface_mark_dirty(image);
  cairo_save(cr);
  cairo_set_source_surface(cr, image, left, top);
  cairo_rectangle(cr, left, top, width_, height_);
  cairo_fill(cr);
  cairo_restore(cr);
}

void DotLayer::drawVectors(cairo_t* cr, double left, double top,
                           const std::vector<std::uint32_t>& colours, double radius,
                           double alpha) const {
  // One path per colour and opacity (counts past 8 look alike).
  std::map<std::pair<std::uint32_t, std::uint32_t>, std::vector<std::pair<double, double>>> paths;
  forEachPixel([&](double cx, double cy, std::uint16_t group, std::uint32_t count) {
    std::uint32_t rgb = group < colours.size() ? colours[group] : mapstyle::kInk;
    paths[{rgb, std::min<std::uint32_t>(count, 8)}].emplace_back(left + cx, top + cy);
  });
  cairo_save(cr);
  cairo_rectangle(cr, left, top, width_, height_);
  cairo_clip(cr);
  for (const auto& [key, centres] : paths) {
    mapstyle::setColour(cr, key.first, opacity(alpha, key.second));
    cairo_new_path(cr);
    for (const auto& [x, y] : centres) {
      cairo_new_sub_path(cr);
      cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
    }
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

}  // namespace metdb
