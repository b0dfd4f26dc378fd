#ifndef METDB_TOOL_DATABASE_FILTERS_H_
#define METDB_TOOL_DATABASE_FILTERS_H_

#include <string>
#include <vector>

#include "directory/Directory.h"
#include "selection/TLocationSelection.h"

namespace metdb {

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
  // --bbox SOUTH,WEST,NORTH,EAST, as written. WEST greater than EAST: the
  // box wraps across the 180th meridian.
  std::string bbox;
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

// Reads the selection file into *selection (which must be empty). Throws
// Error when the file cannot be opened or is not a selection file of
// version 1.10.
void readSelectionFile(const std::string& file, TLocationSelection* selection);

// Parses the value of --bbox, "SOUTH,WEST,NORTH,EAST", into the four
// limits. Throws Error, naming the option and the part at fault, when it is
// not four numbers, they lie outside the ranges of latitude and longitude,
// or south > north. west > east is a box across the 180th meridian.
void parseBox(const std::string& text, float* south, float* west, float* north, float* east);
// The same for checks that must not throw (the option's check at parsing):
// returns false, with *why set to a phrase without a period that names the
// part at fault, where parseBox throws.
bool tryParseBox(const std::string& text, float* south, float* west, float* north, float* east,
                 std::string* why);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_FILTERS_H_
