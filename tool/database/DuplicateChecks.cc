// The duplicate checks of checkContent.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "tool/CheckPoint.h"
#include "tool/Progress.h"
#include "tool/database/ContentChecks.h"
#include "tool/text/SearchKey.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// Metres per degree of latitude, at least (the meridian degree is shortest
// at the equator), for windows of a sweep by latitude.
constexpr double kMinMetresPerDegree = 110574.0;

// Whether two items are exact duplicates: names equal ignoring ASCII case
// (as the library compares them), the same level and position as stored.
bool sameRecord(const ContentItem& a, const ContentItem& b) {
  return a.level == b.level && std::memcmp(&a.latitude, &b.latitude, sizeof(float)) == 0 &&
         std::memcmp(&a.longitude, &b.longitude, sizeof(float)) == 0 &&
         text::equalIgnoringCase(*a.location, *b.location) &&
         text::equalIgnoringCase(*a.state, *b.state) &&
         text::equalIgnoringCase(*a.country, *b.country) &&
         text::equalIgnoringCase(*a.continent, *b.continent);
}

bool sameName(const ContentItem& a, const ContentItem& b) {
  return a.nameHash == b.nameHash && searchKey(*a.location) == searchKey(*b.location);
}

bool samePosition(const ContentItem& a, const ContentItem& b) {
  return a.latitude == b.latitude && a.longitude == b.longitude;
}

// Orders items by latitude, then longitude, so that the items at one
// position stand together.
bool southOf(const ContentItem& a, const ContentItem& b) {
  return a.latitude < b.latitude || (a.latitude == b.latitude && a.longitude < b.longitude);
}

// Calls near(a, b, metres) for the pairs of items among indices[begin,
// end), which are sorted by southOf, that lie within metres of each other.
// The items at one position are taken as one: each is paired with the
// first of them (0 m apart), and only that first one with the items
// elsewhere, so that many locations at one point cost their number, not
// its square.
template <typename Near>
void pairsWithin(const ContentItems& items, const std::vector<std::size_t>& indices,
                 std::size_t begin, std::size_t end, double metres, Near near) {
  std::vector<std::size_t> firsts;
  for (std::size_t x = begin; x < end;) {
    const ContentItem& a = items[indices[x]];
    std::size_t y = x + 1;
    for (; y < end && samePosition(items[indices[y]], a); ++y) {
      if ((y & 0xfff) == 0) checkPoint();
      near(a, items[indices[y]], 0.0);
    }
    firsts.push_back(indices[x]);
    x = y;
  }
  const double window = metres / kMinMetresPerDegree;
  for (std::size_t x = 0; x < firsts.size(); ++x) {
    if ((x & 0xfff) == 0) checkPoint();
    const ContentItem& a = items[firsts[x]];
    // A degree of longitude is at least as long as cos(latitude) degrees of
    // the meridian's shortest, near enough for a window.
    double cosine = std::cos(std::min(89.9, std::fabs(static_cast<double>(a.latitude)) + window) *
                             M_PI / 180.0);
    double lonWindow = window / cosine;
    for (std::size_t y = x + 1; y < firsts.size(); ++y) {
      const ContentItem& b = items[firsts[y]];
      if (b.latitude - a.latitude > window) break;
      double gap = std::fabs(std::remainder(static_cast<double>(b.longitude) - a.longitude, 360.0));
      if (gap > lonWindow) continue;
      double m = metresBetween(a, b);
      if (m <= metres) near(a, b, m);
    }
  }
}

std::vector<std::size_t> allIndices(const ContentItems& items) {
  std::vector<std::size_t> order(items.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  return order;
}

}  // namespace

void checkExactDuplicates(const ContentItems& items, const ContentCheckOptions& options,
                          std::vector<Finding>* findings) {
  if (!options.exactDuplicates) return;
  RankedFinding exact;
  std::vector<std::size_t> order = allIndices(items);
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return items[a].exactHash < items[b].exactHash ||
           (items[a].exactHash == items[b].exactHash && a < b);
  });
  for (std::size_t x = 0; x < order.size();) {
    checkPoint();
    std::size_t end = x + 1;
    while (end < order.size() && items[order[end]].exactHash == items[order[x]].exactHash) ++end;
    for (std::size_t y = x + 1; y < end; ++y) {
      for (std::size_t z = x; z < y; ++z) {
        if (sameRecord(items[order[y]], items[order[z]])) {
          exact.add(itemPath(items[order[y]]) + " repeats " + itemPath(items[order[z]]));
          break;
        }
      }
    }
    x = end;
  }
  exact.report(findings, "location repeats an earlier one exactly (names, level, position)",
               "locations repeat earlier ones exactly (names, level, position)",
               "no location repeats another exactly");
}

void checkNearDuplicates(const ContentItems& items, const ContentCheckOptions& options,
                         std::vector<Finding>* findings) {
  Progress progress("Looking for near duplicates", ProgressDisplay::kNoCount);
  RankedFinding sameState, otherStates, anyTwo;
  std::vector<std::size_t> order = allIndices(items);
  // Positions at 0, 0 have their own finding.
  auto unplaced = [&](std::size_t i) { return !onGlobe(items[i]) || atNullIsland(items[i]); };
  order.erase(std::remove_if(order.begin(), order.end(), unplaced), order.end());
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const ContentItem& x = items[a];
    const ContentItem& y = items[b];
    return x.nameHash < y.nameHash || (x.nameHash == y.nameHash && southOf(x, y));
  });
  // The nearest pairs are the likeliest to be one place entered twice.
  for (std::size_t x = 0; x < order.size();) {
    std::size_t end = x + 1;
    while (end < order.size() && items[order[end]].nameHash == items[order[x]].nameHash) ++end;
    if (end - x > 1) {
      checkPoint();
      pairsWithin(items, order, x, end, options.sameNameMetres,
                  [&](const ContentItem& a, const ContentItem& b, double m) {
                    if (sameRecord(a, b) || !sameName(a, b)) return;
                    bool oneState = text::equalIgnoringCase(*a.state, *b.state) &&
                                    text::equalIgnoringCase(*a.country, *b.country);
                    (oneState ? sameState : otherStates)
                        .add(itemPath(a) + " and " + itemPath(b) + ", " + metresText(m) + " apart",
                             -m);
                  });
    }
    x = end;
  }
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return southOf(items[a], items[b]); });
  pairsWithin(items, order, 0, order.size(), options.anyTwoMetres,
              [&](const ContentItem& a, const ContentItem& b, double m) {
                if (sameName(a, b)) return;  // reported above
                anyTwo.add(itemPath(a) + " and " + itemPath(b) + ", " + metresText(m) + " apart",
                           -m);
              });
  // One name in one state so near is one place entered twice, most
  // likely. Across a border it is as often a town on both sides, and two
  // names at one point are as often a place and its district, or two
  // instruments at one station: notes, worth a look.
  const std::string within = metresText(options.sameNameMetres);
  sameState.report(findings, "pair of locations of one name in one state lies within " + within,
                   "pairs of locations of one name in one state lie within " + within,
                   "no two locations of one name in one state lie within " + within);
  otherStates.report(findings,
                     "pair of locations of one name in different states lies within " + within +
                         " (a place on both sides of a border, or one in the wrong state?)",
                     "pairs of locations of one name in different states lie within " + within +
                         " (places on both sides of a border, or in the wrong state?)",
                     "", Finding::kNote);
  const std::string close = metresText(options.anyTwoMetres);
  anyTwo.report(findings,
                "pair of locations of different names lies within " + close +
                    " (one place under two names, or two instruments at one place?)",
                "pairs of locations of different names lie within " + close +
                    " (one place under two names, or two instruments at one place?)",
                "", Finding::kNote);
}

}  // namespace metdb
