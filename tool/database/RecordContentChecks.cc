// The checks of checkContent that look at each record's names and level.
#include <algorithm>
#include <map>

#include "tool/database/ContentChecks.h"

namespace metdb {

void checkNames(const ContentItems& items, const ContentCheckOptions&,
                std::vector<Finding>* findings) {
  RankedFinding bad;
  for (const ContentItem& i : items) {
    if (!i.nameFault.empty()) bad.add(itemPath(i) + ": " + i.nameFault);
  }
  bad.report(findings, "location has a name with control characters or bytes that are not UTF-8",
             "locations have names with control characters or bytes that are not UTF-8",
             "every name is UTF-8 without control characters");
}

void checkLevels(const ContentItems& items, const ContentCheckOptions&,
                 std::vector<Finding>* findings) {
  // Levels of at least one in a thousand records are the usual ones.
  std::map<int, long> levels;
  for (const ContentItem& i : items) ++levels[i.level];
  const long usualShare = static_cast<long>(items.size() / 1000);
  int low = 127, high = -128;
  for (const auto& l : levels) {
    if (l.second > usualShare) {
      low = std::min(low, l.first);
      high = std::max(high, l.first);
    }
  }
  RankedFinding odd;
  if (items.size() >= 1000) {
    for (const ContentItem& i : items) {
      if (i.level < low || i.level > high) {
        odd.add(itemPath(i) + ": level " + std::to_string(i.level));
      }
    }
  }
  odd.report(findings, "location has a level that hardly any other has",
             "locations have levels that hardly any other has",
             items.size() >= 1000 ? "every level is one that many locations have"
                                  : "levels are not judged below 1000 locations");
}

}  // namespace metdb
