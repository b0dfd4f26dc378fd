#include "tool/database/ContentCheck.h"

#include <GeographicLib/Geodesic.hpp>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>

#include "tool/CheckPoint.h"
#include "tool/Progress.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/database/StationCheck.h"
#include "tool/record/RecordFaults.h"
#include "tool/record/RecordPosition.h"
#include "tool/text/SearchKey.h"
#include "tool/text/Text.h"
#include "tool/text/Utf8.h"

namespace metdb {

namespace {

// Examples kept per kind of finding; the count covers them all.
constexpr std::size_t kKeptExamples = 1000;
// Metres per degree of latitude, at least (the meridian degree is shortest
// at the equator), for windows of a sweep by latitude.
constexpr double kMinMetresPerDegree = 110574.0;

struct Item {
  Continent* continent;
  Country* country;
  State* state;
  Location* location;
  float latitude;
  float longitude;
  int level;
  // Hashes of the name's search key, and of everything an exact duplicate
  // shares: sorting by them brings the candidates together without a map
  // of a million strings.
  std::size_t nameHash;
  std::size_t exactHash;
};

// Whether two items are exact duplicates: names equal ignoring ASCII case
// (as the library compares them), the same level and position as stored.
bool sameRecord(const Item& a, const Item& b) {
  return a.level == b.level && std::memcmp(&a.latitude, &b.latitude, sizeof(float)) == 0 &&
         std::memcmp(&a.longitude, &b.longitude, sizeof(float)) == 0 &&
         text::equalIgnoringCase(*a.location, *b.location) &&
         text::equalIgnoringCase(*a.state, *b.state) &&
         text::equalIgnoringCase(*a.country, *b.country) &&
         text::equalIgnoringCase(*a.continent, *b.continent);
}

std::string path(const Item& i) {
  return *i.continent + "/" + *i.country + "/" + *i.state + "/" + *i.location + " (record " +
         std::to_string(i.location->locationIndex) + ")";
}

// One kind of fault, counted, with its first examples.
class Kind {
 public:
  void add(std::string example) {
    ++count_;
    if (examples_.size() < kKeptExamples) examples_.push_back(std::move(example));
  }
  void report(std::vector<Finding>* findings, const std::string& one, const std::string& many,
              const std::string& okText) {
    if (count_ == 0) {
      findings->push_back({Finding::kOk, okText, {}});
      return;
    }
    findings->push_back(
        {Finding::kFault, text::plural(count_, one.c_str(), many.c_str()), std::move(examples_)});
  }

 private:
  long count_ = 0;
  std::vector<std::string> examples_;
};

double metresBetween(const Item& a, const Item& b) {
  double metres;
  GeographicLib::Geodesic::WGS84().Inverse(a.latitude, a.longitude, b.latitude, b.longitude,
                                           metres);
  return metres;
}

bool usable(const Item& i) {
  return std::fabs(i.latitude) <= 90.0f && std::fabs(i.longitude) <= 180.0f;
}

// Calls near(a, b, metres) for the pairs of items among indices[begin,
// end), which are sorted by latitude, that lie within metres of each other.
template <typename Near>
void pairsWithin(const std::vector<Item>& items, const std::vector<std::size_t>& indices,
                 std::size_t begin, std::size_t end, double metres, Near near) {
  const double window = metres / kMinMetresPerDegree;
  for (std::size_t x = begin; x < end; ++x) {
    const Item& a = items[indices[x]];
    // A degree of longitude is at least as long as cos(latitude) degrees of
    // the meridian's shortest, near enough for a window.
    double cosine = std::cos(std::min(89.9, std::fabs(static_cast<double>(a.latitude)) + window) *
                             M_PI / 180.0);
    double lonWindow = window / cosine;
    for (std::size_t y = x + 1; y < end; ++y) {
      const Item& b = items[indices[y]];
      if (b.latitude - a.latitude > window) break;
      double gap = std::fabs(std::remainder(static_cast<double>(b.longitude) - a.longitude, 360.0));
      if (gap > lonWindow) continue;
      double m = metresBetween(a, b);
      if (m <= metres) near(a, b, m);
    }
  }
}

std::string metresText(double metres) {
  char buffer[32];
  if (metres < 1000.0) {
    std::snprintf(buffer, sizeof buffer, "%.0f m", metres);
  } else {
    std::snprintf(buffer, sizeof buffer, "%.1f km", metres / 1000.0);
  }
  return buffer;
}

}  // namespace

std::vector<Finding> checkContent(Database& access, const ContentCheckOptions& options) {
  BMTFile* db = access.db();
  std::vector<Item> items;
  items.reserve(static_cast<std::size_t>(db->directory->locationCount));
  Kind badNames, badPositions, nullIsland, exact, sameName, anyTwo, outside, oddLevels;
  {
    BMTFile::BulkRead reading(*db);
    Progress progress("Reading records", db->directory->locationCount);
    forEachLocation(db->directory, [&](Continent* c, Country* k, State* s, Location* l) {
      checkPoint();
      progress.advance();
      LocationData r;
      db->getLocationData(l->locationIndex, r);
      RecordPosition p(r);
      items.push_back({c, k, s, l, p.latitude, p.longitude, r.level, 0, 0});
      const Item& item = items.back();
      const std::pair<const char*, std::string> names[] = {{"name", fieldText(r.name)},
                                                           {"state", fieldText(r.state)},
                                                           {"country", fieldText(r.country)},
                                                           {"continent", fieldText(r.continent)}};
      if (findRecordFault(r) == RecordFault::kControlByte) {
        badNames.add(path(item) + ": " + describeRecordFault(r, RecordFault::kControlByte));
      } else {
        for (const auto& n : names) {
          if (text::findInvalidUtf8(n.second) != std::string::npos) {
            badNames.add(path(item) + ": its " + n.first + " holds bytes that are not UTF-8");
            break;
          }
        }
      }
      if (!std::isfinite(p.latitude) || !std::isfinite(p.longitude) ||
          std::fabs(p.latitude) > 90.0f || std::fabs(p.longitude) > 180.0f) {
        badPositions.add(path(item) + ": " + text::shortestFloat(p.latitude) + ", " +
                         text::shortestFloat(p.longitude));
      } else if (p.latitude == 0.0f && p.longitude == 0.0f) {
        nullIsland.add(path(item));
      }
      items.back().nameHash = std::hash<std::string>()(searchKey(*l));
      std::string key = text::foldCase(*c) + '\n' + text::foldCase(*k) + '\n' + text::foldCase(*s) +
                        '\n' + text::foldCase(*l);
      key.append(reinterpret_cast<const char*>(&item.latitude), sizeof(float));
      key.append(reinterpret_cast<const char*>(&item.longitude), sizeof(float));
      key.push_back(static_cast<char>(item.level));
      items.back().exactHash = std::hash<std::string>()(key);
    });
  }

  std::vector<std::size_t> order(items.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  // Exact duplicates: each repeats the first of its kind in walk order.
  if (options.exactDuplicates) {
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      return items[a].exactHash < items[b].exactHash ||
             (items[a].exactHash == items[b].exactHash && a < b);
    });
    for (std::size_t x = 0; x < order.size();) {
      std::size_t end = x + 1;
      while (end < order.size() && items[order[end]].exactHash == items[order[x]].exactHash) ++end;
      for (std::size_t y = x + 1; y < end; ++y) {
        for (std::size_t z = x; z < y; ++z) {
          if (sameRecord(items[order[y]], items[order[z]])) {
            exact.add(path(items[order[y]]) + " repeats " + path(items[order[z]]));
            break;
          }
        }
      }
      x = end;
    }
  }

  // Near duplicates: the same name near by, and any two very near.
  {
    Progress progress("Looking for near duplicates", ProgressDisplay::kNoCount);
    order.erase(std::remove_if(order.begin(), order.end(),
                               [&](std::size_t i) { return !usable(items[i]); }),
                order.end());
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      const Item& x = items[a];
      const Item& y = items[b];
      return x.nameHash < y.nameHash || (x.nameHash == y.nameHash && x.latitude < y.latitude);
    });
    for (std::size_t x = 0; x < order.size();) {
      std::size_t end = x + 1;
      while (end < order.size() && items[order[end]].nameHash == items[order[x]].nameHash) ++end;
      if (end - x > 1) {
        checkPoint();
        pairsWithin(items, order, x, end, options.sameNameMetres,
                    [&](const Item& a, const Item& b, double m) {
                      if (sameRecord(a, b)) return;  // an exact duplicate
                      if (searchKey(*a.location) != searchKey(*b.location)) return;
                      sameName.add(path(a) + " and " + path(b) + ", " + metresText(m) + " apart");
                    });
      }
      x = end;
    }
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return items[a].latitude < items[b].latitude; });
    pairsWithin(
        items, order, 0, order.size(), options.anyTwoMetres,
        [&](const Item& a, const Item& b, double m) {
          if (a.nameHash == b.nameHash && searchKey(*a.location) == searchKey(*b.location)) {
            return;  // reported above
          }
          anyTwo.add(path(a) + " and " + path(b) + ", " + metresText(m) + " apart");
        });
  }

  if (options.kmOutsideCountry) {
    Progress progress("Checking positions against countries", static_cast<long>(items.size()));
    for (const Item& i : items) {
      checkPoint();
      progress.advance();
      if (!usable(i)) continue;
      double km = options.kmOutsideCountry(*i.country, i.latitude, i.longitude);
      if (km > options.countryToleranceKm) {
        outside.add(path(i) + " at " + text::shortestFloat(i.latitude) + ", " +
                    text::shortestFloat(i.longitude) + " lies " + metresText(km * 1000.0) +
                    " outside " + *i.country);
      }
    }
  }

  // Levels: those of at least one in a thousand records are the usual ones.
  std::map<int, long> levels;
  for (const Item& i : items) ++levels[i.level];
  const long usualShare = static_cast<long>(items.size() / 1000);
  int low = 127, high = -128;
  for (const auto& l : levels) {
    if (l.second > usualShare) {
      low = std::min(low, l.first);
      high = std::max(high, l.first);
    }
  }
  if (items.size() >= 1000) {
    for (const Item& i : items) {
      if (i.level < low || i.level > high) {
        oddLevels.add(path(i) + ": level " + std::to_string(i.level));
      }
    }
  }

  std::vector<Finding> findings;
  if (options.exactDuplicates) {
    exact.report(&findings, "location repeats an earlier one exactly (names, level, position)",
                 "locations repeat earlier ones exactly (names, level, position)",
                 "no location repeats another exactly");
  }
  sameName.report(
      &findings,
      ("pair of locations of one name lies within " + metresText(options.sameNameMetres)),
      ("pairs of locations of one name lie within " + metresText(options.sameNameMetres)),
      "no two locations of one name lie within " + metresText(options.sameNameMetres));
  anyTwo.report(&findings, ("pair of locations lies within " + metresText(options.anyTwoMetres)),
                ("pairs of locations lie within " + metresText(options.anyTwoMetres)),
                "no two locations lie within " + metresText(options.anyTwoMetres));
  badPositions.report(&findings, "location has a position that is not on the globe",
                      "locations have positions that are not on the globe",
                      "every position is on the globe");
  nullIsland.report(&findings, "location lies at 0, 0 (a position that was never filled in?)",
                    "locations lie at 0, 0 (positions that were never filled in?)",
                    "no location lies at 0, 0");
  if (options.kmOutsideCountry) {
    std::string tolerance = metresText(options.countryToleranceKm * 1000.0);
    outside.report(&findings,
                   ("location lies more than " + tolerance +
                    " outside its country (swapped latitude and longitude, or a lost sign?)"),
                   ("locations lie more than " + tolerance +
                    " outside their countries (swapped latitude and longitude, or a lost sign?)"),
                   "every location of a known country lies within " + tolerance + " of it");
  }
  badNames.report(&findings,
                  "location has a name with control characters or bytes that are not UTF-8",
                  "locations have names with control characters or bytes that are not UTF-8",
                  "every name is UTF-8 without control characters");
  oddLevels.report(&findings, "location has a level that hardly any other has",
                   "locations have levels that hardly any other has",
                   items.size() >= 1000 ? "every level is one that many locations have"
                                        : "levels are not judged below 1000 locations");
  for (Finding& f : checkStationContent(access, stationChecks())) findings.push_back(std::move(f));
  return findings;
}

}  // namespace metdb
