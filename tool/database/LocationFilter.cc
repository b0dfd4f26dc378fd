#include "tool/database/LocationFilter.h"

#include "tool/CheckPoint.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/text/SearchKey.h"
#include "tool/text/Text.h"

namespace metdb {

LocationFilter::LocationFilter(const Filters& filters) : levelLimit_(filters.levelLimit) {
  for (int level = 0; level < 4; ++level) {
    Pattern& p = patterns_[level];
    p.text = filters.*patternFilters()[level].pattern;
    p.key = searchKey(p.text);
    p.wildcards = p.text.find_first_of("*?") != std::string::npos;
    if (!p.text.empty()) deepest_ = level;
  }
  if (filters.bbox) {
    south_ = filters.bbox->south;
    west_ = filters.bbox->west;
    north_ = filters.bbox->north;
    east_ = filters.bbox->east;
    useBox_ = true;
  }
}

bool LocationFilter::admits(int level, const std::string& name) const {
  const Pattern& p = patterns_[level];
  if (p.text.empty()) return true;
  std::string key = searchKey(name);
  if (p.wildcards ? text::matchesPattern(p.key, key) : key == p.key) return true;
  return text::matchesPattern(p.text, name);
}

bool LocationFilter::admitsPosition(int level, float latitude, float longitude) const {
  if (level > levelLimit_) return false;
  if (!useBox_) return true;
  // Written so that a coordinate that is not a number fails.
  if (!(latitude >= south_ && latitude <= north_)) return false;
  if (west_ <= east_) return longitude >= west_ && longitude <= east_;
  return longitude >= west_ || longitude <= east_;
}

namespace {

class EntryCollector : public DirectoryVisitor {
 public:
  EntryCollector(const LocationFilter& filter, std::vector<Location*>* entries)
      : filter_(filter), entries_(entries) {}

  bool enterContinent(Continent* c) override { return filter_.admits(0, *c); }
  bool enterCountry(Continent*, Country* k) override { return filter_.admits(1, *k); }
  bool enterState(Continent*, Country*, State* s) override {
    checkPoint();
    return filter_.admits(2, *s);
  }
  bool visitLocation(Continent*, Country*, State*, Location* l) override {
    if (filter_.admitsPosition(*l) && filter_.admits(3, *l)) entries_->push_back(l);
    return true;
  }

 private:
  const LocationFilter& filter_;
  std::vector<Location*>* entries_;
};

}  // namespace

std::vector<Location*> selectLocations(const Filters& filters, Directory* directory) {
  LocationFilter filter(filters);
  std::vector<Location*> entries;
  EntryCollector collector(filter, &entries);
  walkDirectory(directory, collector);
  return entries;
}

}  // namespace metdb
