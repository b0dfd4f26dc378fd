#include "tool/database/ContentItems.h"

#include <GeographicLib/Geodesic.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tool/text/Text.h"

namespace metdb {

std::string itemPath(const ContentItem& i) {
  return *i.continent + "/" + *i.country + "/" + *i.state + "/" + *i.location + " (record " +
         std::to_string(i.location->locationIndex) + ")";
}

bool onGlobe(const ContentItem& i) {
  return std::fabs(i.latitude) <= 90.0f && std::fabs(i.longitude) <= 180.0f;
}

bool atNullIsland(const ContentItem& i) { return i.latitude == 0.0f && i.longitude == 0.0f; }

std::string metresText(double metres) {
  char buffer[32];
  if (metres < 1000.0) {
    std::snprintf(buffer, sizeof buffer, "%.0f m", metres);
  } else {
    std::snprintf(buffer, sizeof buffer, "%.1f km", metres / 1000.0);
  }
  return buffer;
}

double metresBetween(const ContentItem& a, const ContentItem& b) {
  double metres;
  GeographicLib::Geodesic::WGS84().Inverse(a.latitude, a.longitude, b.latitude, b.longitude,
                                           metres);
  return metres;
}

void RankedFinding::add(std::string example, double rank) {
  examples_.push_back({rank, count_++, std::move(example)});
  // Pruning at twice the kept examples keeps the work per example constant.
  if (examples_.size() >= 2 * kKept) prune();
}

void RankedFinding::prune() {
  auto before = [](const Example& a, const Example& b) {
    return a.rank > b.rank || (a.rank == b.rank && a.order < b.order);
  };
  if (examples_.size() > kKept) {
    std::nth_element(examples_.begin(), examples_.begin() + kKept, examples_.end(), before);
    examples_.resize(kKept);
  }
  std::sort(examples_.begin(), examples_.end(), before);
}

void RankedFinding::report(std::vector<Finding>* findings, const std::string& one,
                           const std::string& many, const std::string& okText, Finding::Kind kind) {
  if (count_ == 0) {
    if (!okText.empty()) findings->push_back({Finding::kOk, okText, {}});
    return;
  }
  prune();
  std::vector<std::string> examples;
  examples.reserve(examples_.size());
  for (Example& e : examples_) examples.push_back(std::move(e.text));
  examples_.clear();
  findings->push_back({kind, text::plural(count_, one.c_str(), many.c_str()), std::move(examples),
                       static_cast<std::size_t>(count_)});
}

}  // namespace metdb
