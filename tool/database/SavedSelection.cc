#include "tool/database/SavedSelection.h"

#include <filesystem>

#include "module/CurrentDatabase.h"
#include "selection/TLocationIterator.h"
#include "selection/TLocationSelection.h"
#include "tool/Error.h"
#include "tool/record/NameField.h"
#include "tool/text/Text.h"

namespace metdb {

std::string defaultSelectionTitle(const std::string& file) {
  return std::filesystem::path(file).stem().string();
}

SavedSelection saveSelection(const Filters& filters, const std::string& title,
                             const std::string& file, BMTFile* db) {
  if (title.find_first_of("\r\n") != std::string::npos) {
    throw Error("The title " + text::quoted(title) +
                    " holds a line break, which a selection file cannot hold.",
                Error::Cause::kBadInput);
  }
  if (filters.narrowsStations()) {
    throw Error("A selection file cannot hold --id or --active; select by names, level and box.",
                Error::Cause::kBadInput);
  }
  TLocationSelection selection;
  filters.toSelection(db->directory, &selection);
  SavedSelection saved;
  saved.title = setNameField(selection.name, title);
  // The library notes the system's reason when a file operation failed
  // (a full disk, a failed flush); a name it refuses has none.
  if (selection.write(file.c_str()) != 1) {
    std::string why = getMetLastError();
    throw Error("Cannot write the selection file \"" + file + "\"" +
                    (why.empty() ? "" : " (" + why + ")") + ".",
                Error::Cause::kSystem);
  }
  TLocationIterator iterator(&selection);
  saved.locations = iterator.getNumLocations();
  return saved;
}

}  // namespace metdb
