#ifndef METDB_TOOL_DATABASE_FILTERS_H_
#define METDB_TOOL_DATABASE_FILTERS_H_

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "directory/Directory.h"
#include "selection/TLocationSelection.h"
#include "tool/record/NameLevels.h"

namespace metdb {

// A box of latitudes and longitudes in degrees, bounds included. west
// greater than east: the box crosses the 180th meridian.
struct Box {
  float south = -90.0f;
  float west = -180.0f;
  float north = 90.0f;
  float east = 180.0f;
};

// The filters that pick locations (list, export, delete, selection new),
// and their translation into a TLocationSelection, which the library then
// resolves and walks as it would for any host.
struct Filters {
  // Patterns matched against the names ignoring case and accents (see
  // LocationFilter); '*' and '?' are wildcards. Empty: no filter at that
  // level.
  std::string continent;
  std::string country;
  std::string state;
  std::string name;
  // --level-limit N: locations of a higher level are left out. Without it
  // no location is left out for its level (the limit is 127).
  int levelLimit = 127;
  // --bbox SOUTH,WEST,NORTH,EAST (checkBox holds for it).
  std::optional<Box> bbox;
  // --selection FILE: a saved selection instead of the options above.
  std::string selectionFile;

  // Whether the level limit was given (describe() names it only then).
  bool levelGiven = false;

  // --id SCHEME:VALUE: only locations holding one of these identifiers
  // (the station file's; the scheme ignoring case).
  std::vector<std::string> ids;
  // --active DATE (YYYY-MM-DD): only locations in operation on that day;
  // those whose years of operation are unknown count as in operation.
  std::string active;

  // Whether --id or --active is given: filters of the station file, which
  // a selection file cannot hold.
  bool narrowsStations() const { return !ids.empty() || !active.empty(); }

  // Whether any option of the location tree (continent, country, state,
  // name) is given.
  bool narrowsTree() const;

  // The options as a reader would write them, e.g. "--continent Europe
  // --bbox 50,-180,90,180", or "--selection north.sel"; empty when none is
  // given.
  std::string describe() const;

  // Fills *selection (which must be empty) from the options: a tree of the
  // directory's continents, countries, states and locations whose names
  // match, in the directory's order, with the whole of a node selected below
  // the deepest level that a filter names; the level limit; and the box. Or
  // reads the selection file (readSelectionFile). The tree names each
  // matching location once, so a saved selection keeps the meaning of its
  // file: the first location of a name in its state. Throws Error when the
  // box is not a box (the option's check refuses that already at parsing) or
  // wraps across the 180th meridian (a selection file cannot hold that), or
  // the selection file cannot be read.
  void toSelection(Directory* directory, TLocationSelection* selection) const;
};

// The patterns of the four name levels, continent first: the member of
// Filters each sets. The command line's option is "--" and the level's
// column ("--continent", "--name"), Python's keyword the column.
struct PatternFilter {
  NameLevel level;
  std::string Filters::*pattern;
  const char* help;  // for --help
};
const std::array<PatternFilter, 4>& patternFilters();

// Reads the selection file into *selection (which must be empty). Throws
// Error when the file cannot be opened or is not a selection file of
// version 1.10.
void readSelectionFile(const std::string& file, TLocationSelection* selection);

// Whether box's limits lie within the ranges of latitude and longitude,
// south not north of north; when not, *why is a phrase without a period
// that names the limit at fault (as written[i], when given, else as the
// number).
bool checkBox(const Box& box, std::string* why, const std::string* written = nullptr);

// Parses "SOUTH,WEST,NORTH,EAST" into *box: false, with *why set as
// checkBox sets it, when it is not four numbers or checkBox refuses them.
bool tryParseBox(const std::string& text, Box* box, std::string* why);

// The same for the value of --bbox: throws Error, "--bbox: <why>.", where
// tryParseBox returns false.
Box parseBox(const std::string& text);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_FILTERS_H_
