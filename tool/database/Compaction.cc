#include "tool/database/Compaction.h"

#include <vector>

#include "datafile/BMTFile.h"
#include "tool/Error.h"
#include "tool/Progress.h"
#include "tool/database/DatabaseCheck.h"
#include "tool/database/DirectoryStats.h"
#include "tool/text/Text.h"

namespace metdb {

void refuseStrayLocations(Directory* directory, long records, const std::string& directoryFile,
                          const std::string& dataFile, const char* nothingDone) {
  std::vector<std::string> outside = locationsOutsideRecords(directory, records);
  if (outside.empty()) return;
  std::string more = outside.size() > 1 ? " (and " +
                                              text::plural(static_cast<long>(outside.size()) - 1,
                                                           "other location", "other locations") +
                                              ")"
                                        : "";
  throw Error(
      "The directory file \"" + directoryFile + "\" is damaged: " + outside.front() + more +
          ", which the data file \"" + dataFile + "\" (" +
          text::plural(records, "record", "records") + ") does not hold; " + nothingDone +
          ". Remove the directory file to have it rebuilt from the records (\"metdb check\" "
          "lists what it names).",
      Error::Cause::kDamaged);
}

void Compaction::compactAndRegroup() {
  // Each round joins the split groups of one level (continents, then
  // countries, then states), so three rounds after the first always suffice.
  constexpr int kMaxRounds = 4;
  for (int round = 0; round < kMaxRounds; ++round) {
    compact();
    if (DirectoryStats::of(access_.db()->directory).duplicateGroups.empty()) break;
    // The data file now keeps each group's records together, but the
    // directory still splits them: read it afresh from the records.
    access_.reopenRebuilt();
  }
  access_.saveDirectory();
}

void Compaction::compact() {
  Progress progress("Compacting the data file", ProgressDisplay::kNoCount);
  try {
    refuseStrayLocations(access_.db()->directory, access_.recordCount(), access_.directoryFile(),
                         access_.dataFile(), "nothing was changed");
    access_.db()->remakeDatabase();
  } catch (...) {
    access_.discardEdits();
    throw;
  }
  // The method returns nothing; the library's reason is empty when it did
  // its work, and then the file must be in walk order.
  if (Database::libraryReason().empty() && isCompact()) {
    access_.noteChanged();
    return;
  }
  access_.discardEdits();
  throw Error("Cannot write the new data file beside \"" + access_.dataFile() +
                  "\": " + Database::libraryReasonOrUnknown() + "; nothing was changed.",
              Error::Cause::kSystem);
}

bool Compaction::isCompact() const {
  Directory* d = access_.db()->directory;
  long position = 0;
  if (!d->IsEmpty()) {
    d->first();
    do {
      long index = d->getLocationIndex();
      if (index < 0) continue;
      if (index != position) return false;
      ++position;
    } while (d->next());
  }
  return access_.dataFileSize() ==
         static_cast<std::uintmax_t>(position) * static_cast<std::uintmax_t>(kLocationDataSize);
}

}  // namespace metdb
