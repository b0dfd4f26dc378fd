#ifndef METDB_TOOL_DATABASE_LOCATIONFILTER_H_
#define METDB_TOOL_DATABASE_LOCATIONFILTER_H_

#include <string>
#include <vector>

#include "directory/Directory.h"
#include "tool/database/Filters.h"

namespace metdb {

// Filters made ready to test the directory's groups and entries.
//
// A name pattern matches a name when it matches the name's search key
// (searchKey: case, accents and script set aside, so "zurich" and "ZÜRICH"
// both match "Zürich") or, as the library compares, the name itself
// ignoring ASCII case. '*' and '?' are wildcards in either.
class LocationFilter {
 public:
  // Throws Error when the box of filters is not a box. The selection file
  // of filters plays no part here.
  explicit LocationFilter(const Filters& filters);

  // Whether the pattern of level (0 continent, 1 country, 2 state, 3
  // location name) admits name; true when that level has no pattern.
  bool admits(int level, const std::string& name) const;
  // Whether the entry's level is within the level limit and its directory
  // coordinates lie in the box (when one is given). A box whose west edge
  // lies east of its east edge wraps across the 180th meridian. A
  // coordinate that is not a number lies in no box.
  bool admitsPosition(const Location& location) const {
    return admitsPosition(location.level, location.latitude, location.longitude);
  }
  // The same test on an entry's level and coordinates, kept elsewhere.
  bool admitsPosition(int level, float latitude, float longitude) const;
  // Whether admitsPosition admits every entry (no box, no level limit below
  // the highest level).
  bool admitsEveryPosition() const { return !useBox_ && levelLimit_ >= 127; }
  // The deepest level that a pattern names (0..3), or -1 when none does.
  int deepestLevel() const { return deepest_; }

 private:
  struct Pattern {
    std::string text;
    std::string key;
    bool wildcards = false;
  };
  Pattern patterns_[4];
  int deepest_ = -1;
  int levelLimit_;
  bool useBox_ = false;
  float south_ = 0, west_ = 0, north_ = 0, east_ = 0;
};

// The directory entries that filters select, in walk order: every location
// whose continent, country, state and name match their patterns and which
// lies within the level limit and the box. Locations of the same name are
// all selected (a saved selection names a location, and so its first
// entry, only). The entries stay the directory's. Throws Error as
// LocationFilter does.
std::vector<Location*> selectLocations(const Filters& filters, Directory* directory);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_LOCATIONFILTER_H_
