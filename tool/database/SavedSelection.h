#ifndef METDB_TOOL_DATABASE_SAVEDSELECTION_H_
#define METDB_TOOL_DATABASE_SAVEDSELECTION_H_

#include <cstddef>
#include <string>

#include "datafile/BMTFile.h"
#include "selection/TLocationSelection.h"
#include "tool/database/Filters.h"

namespace metdb {

// The most bytes of a selection's title that a selection file keeps.
constexpr std::size_t kSelectionTitleBytes = sizeof(TLocationSelection::name) - 1;

// What saveSelection wrote.
struct SavedSelection {
  // The title as the file holds it: the one asked for, cut to
  // kSelectionTitleBytes when it was longer.
  std::string title;
  // The locations of the database the saved selection selects, as a host's
  // iterator counts them.
  long locations = 0;
};

// The title of a selection saved to file when none is given: the file
// name's stem ("north" for "maps/north.sel"), so that a listing of
// selections tells them apart without opening them.
std::string defaultSelectionTitle(const std::string& file);

// Saves the locations that filters pick in db (which must be the current
// database, as Database::open makes it) as the selection file `file`,
// titled title. A title longer than kSelectionTitleBytes is cut at a UTF-8 character
// boundary (the result tells what was kept). An existing file is replaced
// whole, and only when the new one is complete; whether it may be replaced
// is the caller's decision. Throws Error when the title holds a line break
// (a selection file keeps its title on one line), when filters cannot be
// made a selection (Filters::toSelection), or when the file cannot be
// written; the file is then left as it was.
SavedSelection saveSelection(const Filters& filters, const std::string& title,
                             const std::string& file, BMTFile* db);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_SAVEDSELECTION_H_
