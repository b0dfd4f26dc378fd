#include "tool/places/CountryShapes.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "tool/Error.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// The height of the bands of latitude that a polygon's edges are kept in:
// small enough that a band holds few edges besides those crossing a
// position's latitude, large enough that an edge is in few bands.
const double kBandDegrees = 0.05;
// The grid of polygons' bounding boxes: 1-degree cells.
const int kColumns = 360;
const int kRows = 180;
// Distances follow an edge in steps of at most this many degrees of
// longitude or latitude, so that a long edge is measured as drawn (along
// its parallel, say) rather than as the great circle between its ends.
const double kStepDegrees = 0.25;
// Edges per chunk of the distance search.
const std::size_t kChunkEdges = 16;
const double kPi = 3.14159265358979323846;
const double kRadiansPerDegree = kPi / 180.0;

bool onGlobe(double latitude, double longitude) {
  return std::isfinite(latitude) && std::isfinite(longitude) && latitude >= -90.0 &&
         latitude <= 90.0;
}

double reduceLongitude(double longitude) {
  if (longitude >= -180.0 && longitude < 180.0) return longitude;
  double reduced = std::fmod(longitude + 180.0, 360.0);
  if (reduced < 0.0) reduced += 360.0;
  return reduced - 180.0;
}

long bandOf(double latitude) {
  return static_cast<long>(std::floor((latitude + 90.0) / kBandDegrees));
}

int clampedCell(double value, int cells) {
  int cell = static_cast<int>(std::floor(value));
  return std::min(std::max(cell, 0), cells - 1);
}
int columnOf(double longitude) { return clampedCell(longitude + 180.0, kColumns); }
int rowOf(double latitude) { return clampedCell(latitude + 90.0, kRows); }

}  // namespace

// Unit vectors on the sphere and the angles between them.
namespace {

using Vec = std::array<double, 3>;

Vec unit(double latitude, double longitude) {
  double phi = latitude * kRadiansPerDegree;
  double lambda = longitude * kRadiansPerDegree;
  return {std::cos(phi) * std::cos(lambda), std::cos(phi) * std::sin(lambda), std::sin(phi)};
}
Vec cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double norm(const Vec& a) { return std::sqrt(dot(a, a)); }
double angle(const Vec& a, const Vec& b) { return std::atan2(norm(cross(a, b)), dot(a, b)); }

// The angle from p to the shorter great-circle arc from a to b.
double angleToArc(const Vec& p, const Vec& a, const Vec& b) {
  Vec n = cross(a, b);
  double length = norm(n);
  if (length < 1e-15) return angle(p, a);
  // p's foot on the arc's great circle lies between a and b.
  if (dot(cross(a, p), n) >= 0.0 && dot(cross(p, b), n) >= 0.0) {
    return std::asin(std::min(1.0, std::fabs(dot(p, n)) / length));
  }
  return std::min(angle(p, a), angle(p, b));
}

}  // namespace

CountryShapes::CountryShapes(const std::vector<Outline>& outlines) {
  // Outlines of one code are one country, whatever their order.
  std::map<std::string, std::vector<const Outline*>> byCode;
  for (const Outline& outline : outlines) {
    if (!outline.iso2.empty()) byCode[outline.iso2].push_back(&outline);
  }
  for (const auto& [code, parts] : byCode) {
    byCode_[code] = countries_.size();
    countries_.push_back({code, {}, chunks_.size(), 0});
    for (const Outline* outline : parts) {
      std::vector<const OutlineRing*> polygon;
      for (const OutlineRing& ring : outline->rings) {
        if (!ring.hole && !polygon.empty()) {
          addPolygon(countries_.size() - 1, polygon);
          polygon.clear();
        }
        polygon.push_back(&ring);
        addChunks(ring.points);
      }
      if (!polygon.empty()) addPolygon(countries_.size() - 1, polygon);
    }
    countries_.back().chunkCount = chunks_.size() - countries_.back().firstChunk;
  }
  buildGrid();
}

CountryShapes CountryShapes::load(OutlineScale scale) {
  return CountryShapes(readOutlines(countryOutlinesPath(scale)));
}

void CountryShapes::addPolygon(std::size_t country, const std::vector<const OutlineRing*>& rings) {
  Polygon polygon{country, 180.0, -180.0, 90.0, -90.0, edges_.size(), 0, 0, 0};
  for (const OutlineRing* ring : rings) {
    const std::vector<LonLat>& points = ring->points;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const LonLat& a = points[i];
      const LonLat& b = points[(i + 1) % points.size()];
      polygon.west = std::min(polygon.west, a.longitude);
      polygon.east = std::max(polygon.east, a.longitude);
      polygon.south = std::min(polygon.south, a.latitude);
      polygon.north = std::max(polygon.north, a.latitude);
      // A horizontal edge never crosses a ray along its own latitude.
      if (a.latitude != b.latitude) {
        edges_.push_back({a.longitude, a.latitude, b.longitude, b.latitude});
      }
    }
  }
  polygon.firstBand = bandOf(polygon.south);
  polygon.bandCount = static_cast<std::size_t>(bandOf(polygon.north) - polygon.firstBand + 1);
  polygon.firstBandStart = bandStarts_.size();

  // An edge counts for the latitudes from its lower end up to (not
  // including) its upper end, so it is kept in the bands of those.
  std::vector<std::uint32_t> counts(polygon.bandCount + 1, 0);
  auto bands = [&](const Edge& e) {
    return std::make_pair(bandOf(std::min(e.y1, e.y2)) - polygon.firstBand,
                          bandOf(std::max(e.y1, e.y2)) - polygon.firstBand);
  };
  for (std::size_t i = polygon.firstEdge; i < edges_.size(); ++i) {
    auto [low, high] = bands(edges_[i]);
    for (long band = low; band <= high; ++band) ++counts[band + 1];
  }
  std::uint32_t start = static_cast<std::uint32_t>(bandEdges_.size());
  for (std::size_t band = 0; band <= polygon.bandCount; ++band) {
    start += counts[band];
    bandStarts_.push_back(start);
  }
  bandEdges_.resize(start);
  std::vector<std::uint32_t> next(bandStarts_.begin() + polygon.firstBandStart, bandStarts_.end());
  for (std::size_t i = polygon.firstEdge; i < edges_.size(); ++i) {
    auto [low, high] = bands(edges_[i]);
    for (long band = low; band <= high; ++band)
      bandEdges_[next[band]++] = static_cast<std::uint32_t>(i);
  }
  polygons_.push_back(polygon);
  countries_[country].polygons.push_back(polygons_.size() - 1);
}

void CountryShapes::addChunks(const std::vector<LonLat>& ring) {
  std::size_t first = points_.size();
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const LonLat& a = ring[i];
    const LonLat& b = ring[(i + 1) % ring.size()];
    double span =
        std::max(std::fabs(b.longitude - a.longitude), std::fabs(b.latitude - a.latitude));
    int steps = std::max(1, static_cast<int>(std::ceil(span / kStepDegrees)));
    for (int s = 0; s < steps; ++s) {
      double t = static_cast<double>(s) / steps;
      points_.push_back(unit(a.latitude + t * (b.latitude - a.latitude),
                             a.longitude + t * (b.longitude - a.longitude)));
    }
  }
  points_.push_back(unit(ring[0].latitude, ring[0].longitude));
  std::size_t last = points_.size() - 1;
  for (std::size_t at = first; at < last; at += kChunkEdges) {
    std::size_t count = std::min(kChunkEdges, last - at);
    Vec sum{0.0, 0.0, 0.0};
    for (std::size_t i = at; i <= at + count; ++i) {
      for (int axis = 0; axis < 3; ++axis) sum[axis] += points_[i][axis];
    }
    double length = norm(sum);
    // A cap round the whole sphere where the points cancel out.
    Chunk chunk{{1.0, 0.0, 0.0}, kPi, at, count};
    if (length > 1e-12) {
      chunk.centre = {sum[0] / length, sum[1] / length, sum[2] / length};
      chunk.radius = 0.0;
      for (std::size_t i = at; i <= at + count; ++i) {
        chunk.radius = std::max(chunk.radius, angle(chunk.centre, points_[i]));
      }
    }
    chunks_.push_back(chunk);
  }
}

void CountryShapes::buildGrid() {
  std::vector<std::uint32_t> counts(kColumns * kRows + 1, 0);
  auto each = [&](const Polygon& p, auto&& visit) {
    for (int row = rowOf(p.south); row <= rowOf(p.north); ++row) {
      for (int column = columnOf(p.west); column <= columnOf(p.east); ++column) {
        visit(row * kColumns + column);
      }
    }
  };
  for (const Polygon& p : polygons_) each(p, [&](int cell) { ++counts[cell + 1]; });
  for (std::size_t i = 1; i < counts.size(); ++i) counts[i] += counts[i - 1];
  cellStarts_ = counts;
  cellPolygons_.resize(counts.back());
  for (std::size_t i = 0; i < polygons_.size(); ++i) {
    each(polygons_[i],
         [&](int cell) { cellPolygons_[counts[cell]++] = static_cast<std::uint32_t>(i); });
  }
}

bool CountryShapes::inside(const Polygon& polygon, double x, double y) const {
  if (x < polygon.west || x > polygon.east || y < polygon.south || y > polygon.north) return false;
  long band = bandOf(y) - polygon.firstBand;
  if (band < 0 || static_cast<std::size_t>(band) >= polygon.bandCount) return false;
  std::size_t at = polygon.firstBandStart + static_cast<std::size_t>(band);
  bool in = false;
  for (std::uint32_t k = bandStarts_[at]; k < bandStarts_[at + 1]; ++k) {
    const Edge& e = edges_[bandEdges_[k]];
    if ((e.y1 > y) != (e.y2 > y) && x < e.x1 + (y - e.y1) * (e.x2 - e.x1) / (e.y2 - e.y1)) {
      in = !in;
    }
  }
  return in;
}

std::string CountryShapes::countryAt(double latitude, double longitude) const {
  if (!onGlobe(latitude, longitude)) return std::string();
  double x = reduceLongitude(longitude);
  std::size_t cell = static_cast<std::size_t>(rowOf(latitude) * kColumns + columnOf(x));
  for (std::uint32_t k = cellStarts_[cell]; k < cellStarts_[cell + 1]; ++k) {
    const Polygon& polygon = polygons_[cellPolygons_[k]];
    if (inside(polygon, x, latitude)) return countries_[polygon.country].iso2;
  }
  return std::string();
}

bool CountryShapes::hasOutline(const std::string& iso2) const { return byCode_.count(iso2) != 0; }

double CountryShapes::angleToChunk(const Vector& p, const Chunk& chunk) const {
  double best = kPi;
  for (std::size_t i = chunk.first; i < chunk.first + chunk.count; ++i) {
    best = std::min(best, angleToArc(p, points_[i], points_[i + 1]));
  }
  return best;
}

double CountryShapes::distanceKm(double latitude, double longitude, const std::string& iso2) const {
  if (!onGlobe(latitude, longitude)) {
    throw Error("The position " + text::shortestFloat(static_cast<float>(latitude)) + ", " +
                    text::shortestFloat(static_cast<float>(longitude)) + " is not on the globe.",
                Error::Cause::kBadInput);
  }
  auto found = byCode_.find(iso2);
  if (found == byCode_.end()) {
    throw Error("There is no outline of the country " + text::quoted(iso2) + ".",
                Error::Cause::kNotFound);
  }
  const Country& country = countries_[found->second];
  double x = reduceLongitude(longitude);
  for (std::size_t index : country.polygons) {
    if (inside(polygons_[index], x, latitude)) return 0.0;
  }
  Vec p = unit(latitude, x);
  // Chunks nearest by their caps first; a chunk whose cap lies farther
  // than the nearest edge found so far cannot hold a nearer one.
  std::vector<std::pair<double, std::size_t>> order;
  order.reserve(country.chunkCount);
  for (std::size_t i = country.firstChunk; i < country.firstChunk + country.chunkCount; ++i) {
    order.push_back({std::max(0.0, angle(p, chunks_[i].centre) - chunks_[i].radius), i});
  }
  std::sort(order.begin(), order.end());
  double best = kPi;
  for (const auto& [bound, index] : order) {
    if (bound >= best) break;
    best = std::min(best, angleToChunk(p, chunks_[index]));
  }
  return best * kEarthRadiusKm;
}

}  // namespace metdb
