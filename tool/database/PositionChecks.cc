// The position checks of checkContent.
#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

#include "tool/CheckPoint.h"
#include "tool/Progress.h"
#include "tool/database/ContentChecks.h"
#include "tool/database/PositionDiagnosis.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

std::string positionText(const ContentItem& i) {
  return text::shortestFloat(i.latitude) + ", " + text::shortestFloat(i.longitude);
}

// The distance in km from item to the nearest other of among (its
// country's locations on the globe but not at 0, 0, sorted by latitude),
// or kFarKm when there is none. Measured in the plane of the item's
// latitude, as a rank needs no more; the search widens from the item's
// latitude and stops where the latitude alone is farther than the nearest
// found, so that a country all of whose locations lie outside it costs
// little more than one.
constexpr double kFarKm = 20000.0;
constexpr double kKmPerDegree = 111.2;
double nearestOtherKm(const ContentItem& item, const std::vector<const ContentItem*>& among) {
  const double scale = std::cos(item.latitude * M_PI / 180.0);
  double best = kFarKm / kKmPerDegree;  // in degrees of latitude
  auto at = std::lower_bound(
      among.begin(), among.end(), item.latitude,
      [](const ContentItem* other, float latitude) { return other->latitude < latitude; });
  auto consider = [&](const ContentItem* other) {
    if (other == &item) return;
    double dx = std::remainder(static_cast<double>(other->longitude) - item.longitude, 360.0);
    double dy = static_cast<double>(other->latitude) - item.latitude;
    best = std::min(best, std::hypot(dx * scale, dy));
  };
  // Stopping at a distance of 0 (another at the same point), which nothing
  // beats, keeps many locations at one point from costing its square.
  for (auto up = at; up != among.end() && best > 0 && (*up)->latitude - item.latitude <= best;
       ++up) {
    consider(*up);
  }
  for (auto down = at;
       down != among.begin() && best > 0 && item.latitude - (*(down - 1))->latitude <= best;
       --down) {
    consider(*(down - 1));
  }
  return best * kKmPerDegree;
}

}  // namespace

void checkPositionsOnGlobe(const ContentItems& items, const ContentCheckOptions& options,
                           std::vector<Finding>* findings) {
  RankedFinding off;
  for (const ContentItem& i : items) {
    if (onGlobe(i)) continue;
    checkPoint();
    std::string diagnosis;
    if (options.kmOutsideCountry && std::isfinite(i.latitude) && std::isfinite(i.longitude)) {
      diagnosis =
          diagnosePosition(*i.country, i.latitude, i.longitude, options.kmOutsideCountry).text;
    }
    off.add(itemPath(i) + ": " + positionText(i) + (diagnosis.empty() ? "" : "; " + diagnosis),
            diagnosis.empty() ? 0.0 : 1.0);
  }
  off.report(findings, "location has a position that is not on the globe",
             "locations have positions that are not on the globe",
             "every position is on the globe");
}

void checkNullIsland(const ContentItems& items, const ContentCheckOptions&,
                     std::vector<Finding>* findings) {
  RankedFinding zero;
  for (const ContentItem& i : items) {
    if (atNullIsland(i)) zero.add(itemPath(i));
  }
  zero.report(findings, "location lies at 0, 0 (a position that was never filled in?)",
              "locations lie at 0, 0 (positions that were never filled in?)",
              "no location lies at 0, 0");
}

void checkCountries(const ContentItems& items, const ContentCheckOptions& options,
                    std::vector<Finding>* findings) {
  if (!options.kmOutsideCountry) return;
  struct Outside {
    const ContentItem* item;
    double km;
  };
  std::vector<Outside> outside;
  {
    Progress progress("Checking positions against countries", static_cast<long>(items.size()));
    for (const ContentItem& i : items) {
      checkPoint();
      progress.advance();
      if (!onGlobe(i) || atNullIsland(i)) continue;
      double km = options.kmOutsideCountry(*i.country, i.latitude, i.longitude);
      if (km > options.countryToleranceKm) outside.push_back({&i, km});
    }
  }
  // The locations of each country that has one outside, to judge how alone
  // those lie.
  std::unordered_map<const Country*, std::vector<const ContentItem*>> byCountry;
  for (const Outside& o : outside) byCountry[o.item->country];
  for (const ContentItem& i : items) {
    auto found = byCountry.find(i.country);
    if (found != byCountry.end() && onGlobe(i) && !atNullIsland(i)) found->second.push_back(&i);
  }
  for (auto& [country, located] : byCountry) {
    std::sort(located.begin(), located.end(),
              [](const ContentItem* a, const ContentItem* b) { return a->latitude < b->latitude; });
  }
  // One finding per kind of slip, so that each kind's examples come
  // together, and one for the positions that no slip explains.
  std::map<PositionSlip, RankedFinding> bySlip;
  for (const Outside& o : outside) {
    checkPoint();
    const ContentItem& i = *o.item;
    PositionDiagnosis diagnosis =
        diagnosePosition(*i.country, i.latitude, i.longitude, options.kmOutsideCountry);
    double aloneKm = nearestOtherKm(i, byCountry[i.country]);
    // The distance outside in whole kilometres, then how far the nearest
    // other location of the country lies.
    double rank = std::floor(o.km) * 1e5 + aloneKm;
    bySlip[diagnosis.slip].add(itemPath(i) + " at " + positionText(i) + " lies " +
                                   metresText(o.km * 1000.0) + " outside " + *i.country +
                                   (diagnosis.text.empty() ? "" : "; " + diagnosis.text),
                               rank);
  }
  const std::string tolerance = metresText(options.countryToleranceKm * 1000.0);
  const std::pair<PositionSlip, const char*> slips[] = {
      {PositionSlip::kSwapped, "latitude and longitude swapped"},
      {PositionSlip::kSign, "a sign lost or added"},
      {PositionSlip::kDecimalPoint, "a decimal point in the wrong place"},
      {PositionSlip::kMinutes, "degrees and minutes read as decimal degrees"},
  };
  for (const auto& [slip, what] : slips) {
    bySlip[slip].report(
        findings,
        "location lies more than " + tolerance + " outside its country, and in it with " + what,
        "locations lie more than " + tolerance + " outside their countries, and in them with " +
            what,
        "");
  }
  bySlip[PositionSlip::kNone].report(
      findings,
      "location lies more than " + tolerance +
          " outside its country, which no slip explains (the farthest first)",
      "locations lie more than " + tolerance +
          " outside their countries, which no slip explains (the farthest first)",
      "every location of a known country lies within " + tolerance + " of it");
}

}  // namespace metdb
