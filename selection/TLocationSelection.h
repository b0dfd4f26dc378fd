#ifndef METDB_SELECTION_TLOCATIONSELECTION_H_
#define METDB_SELECTION_TLOCATIONSELECTION_H_

#include <cstdint>
#include <istream>
#include <ostream>

#include "directory/Country.h"
#include "directory/Location.h"
#include "directory/State.h"
#include "directory/TISArrayAsVector.h"
#include "directory/VELDstring.h"
#include "platform/Export.h"
#include "selection/TLocList.h"

// A named choice of locations: a tree of continent, country, state and
// location names (TLocList entries) plus a level limit and a
// latitude/longitude box. It holds names and limits only; nothing ties it to
// a database until it is resolved against one.
//
// The selection owns every entry reachable from continentList and frees them
// when destroyed or cleared. It cannot be copied, so that two selections never
// own the same entries; CopyList duplicates a tree. Failures show in
// results; nothing is thrown but std::bad_alloc (which frees any partly read
// or copied entries) and what noSelection passes on.
//
// The selection file, a line-based text file opened relative to the process's
// current directory:
//   the name; "1.10"; the continent chain, each entry as a name line and a
//   "1"/"0" selectAll line, followed by "<", its sub-list and ">" when it has
//   a sub-list; ">"; and, without a line end, the limits
//   "levelLimit maxLatitude minLatitude maxLongitude minLongitude useLatLonLimits".
class METDB_EXPORT TLocationSelection {
 public:
  // Capacity of name, its terminating NUL included.
  static constexpr int kNameSize = 30;
  // Deepest nesting of levels that read and readList accept.
  static constexpr int kMaxDepth = 64;

  // An empty selection with the default limits (see clear).
  TLocationSelection();
  // Frees the tree.
  ~TLocationSelection();

  TLocationSelection(const TLocationSelection&) = delete;
  TLocationSelection& operator=(const TLocationSelection&) = delete;

  // Replaces the selection with the contents of the selection file fileName.
  // Returns 1 on success, whether or not the limits line parsed: limits that
  // are missing or fail to parse keep the defaults of clear (those before the
  // first bad one are taken). Returns 0, leaving the selection untouched, when
  // the file cannot be opened or is not a regular file. Returns -1 when the
  // version line is not exactly "1.10" (the selection is then empty with the
  // file's name and default limits) or when the list section is malformed
  // (end of input inside a level, nesting deeper than kMaxDepth levels): the
  // selection is then cleared, name included. One CR is stripped from the end
  // of every line. The name is cut to 29 characters, entry names to 79.
  int read(const char* fileName);

  // Writes the selection to fileName, replacing any file of that name.
  // Returns 1 on success. Returns 0, and leaves whatever file stood at
  // fileName as it was, when the file cannot be created or written, or when
  // a name cannot be stored in the line-based file: the selection's name or
  // an entry's name holding a CR or LF, or an entry named "<" or ">". The text
  // goes to a new file in the same folder that replaces fileName only once it
  // is complete, so no half-written file is ever left behind.
  int write(const char* fileName);

  // Reads one level of a list section from in, with all its sub-levels, and
  // stores its first entry in list; an empty level (a ">" line at once)
  // leaves list as it was. list is overwritten, not freed. The entries read
  // belong to the caller. On malformed input (end of input before a level's
  // ">", or more than kMaxDepth levels) frees everything it read, leaves list
  // as it was and sets in's failbit. Takes CR LF line ends as LF.
  void readList(std::istream& in, TLocList*& list);

  // Writes the chain starting at list, with all its sub-levels, in the
  // list-section format; the ">" that closes the chain's own level is left to
  // the caller. Writes nothing for a null list. Names are written as they
  // stand (up to 79 characters); write checks them first.
  void writeList(std::ostream& out, TLocList* list);

  // Empties the selection: frees the tree, sets continentList null, name
  // empty, levelLimit 5, the box 90, -90, 180, -180 and useLatLonLimits
  // false. Harmless on an empty selection.
  void clear();

  // Frees every entry of the chain starting at list, and everything below
  // them, then sets list null. A null list is left alone.
  void deleteList(TLocList*& list);

  // Returns a deep copy of the chain starting at list (null for null), which
  // belongs to the caller. The selection itself is not touched.
  TLocList* CopyList(TLocList* list);

  // "- Level Limit: %d" of levelLimit.
  VELDstring getLevelLimitString();
  // "Longitude: %0.2f to %0.2f" of minLongitude and maxLongitude.
  VELDstring getLongitudeString();
  // "Latitude: %0.2f to %0.2f" of minLatitude and maxLatitude.
  VELDstring getLatitudeString();

  // ---- Checks against the current database ----
  // At every level a chain is matched against the directory's array with a
  // cursor that moves past each element it compares: each entry is sought,
  // by name ignoring case, only after the element that the entry before it
  // matched. So the entries must follow the directory's order, and two
  // entries of one name are both found only when the array holds that name
  // twice. The first entry not found, or whose sub-level fails, makes the
  // whole check false. None of these changes the selection or the database.

  // True when every entry consulted is found in the current database's
  // directory (created through getMetDatabase when there is none yet): an
  // entry whose selectAll is true is matched by name alone; one whose
  // selectAll is false is matched and then its sub-list checked against
  // the matched element's children (a missing sub-list passes). True for a
  // selection with no lists.
  bool allSelectionInMetDB();
  // The same check for a country chain against the countries of one
  // continent, a state chain against the states of one country, and a
  // location chain against the locations of one state. A null list passes;
  // a null array holds nothing. Location entries are matched by name alone,
  // whatever their selectAll and sub-list.
  bool allCountriesInMetDB(TISArrayAsVector<Country>* countries, TLocList* list);
  bool allStatesInMetDB(TISArrayAsVector<State>* states, TLocList* list);
  bool allLocationsInMetDB(TISArrayAsVector<Location>* locations, TLocList* list);

  // True when the selection has no lists, or selects no location of the
  // current database once its limits are applied. Builds and destroys a
  // TLocationIterator for the answer, with everything that costs and the
  // same failures: the process ends when its index file cannot be made, and
  // a failure raised while it loads its first record passes out.
  bool noSelection();

  // First entry of the continent-level chain, or null.
  TLocList* continentList;
  // The selection's name: at most 29 characters and a NUL.
  char name[kNameSize];
  // A location whose level is greater than this is excluded.
  std::int32_t levelLimit;
  float maxLatitude;
  float minLatitude;
  float maxLongitude;
  float minLongitude;
  // The four latitude/longitude limits apply only when this is true.
  bool useLatLonLimits;
};

#endif  // METDB_SELECTION_TLOCATIONSELECTION_H_
