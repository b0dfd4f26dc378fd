#include "tool/database/DatabaseImport.h"

#include "datafile/BMTFile.h"
#include "platform/Env.h"
#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/Progress.h"
#include "tool/database/Compaction.h"
#include "tool/database/DatabaseBuilder.h"
#include "tool/database/ScratchFolder.h"
#include "tool/record/RecordFaults.h"

namespace metdb {

namespace {

// Refuses a source whose records no database holds: a text file or other
// bytes read as records. Records whose names hold control bytes are refused
// even when forced, for they would break the directory file.
void checkImportable(BMTFile& from, const std::string& source, bool force) {
  long records = from.fileLength() / static_cast<long>(sizeof(LocationData));
  BMTFile::BulkRead reading(from);
  Progress progress("Checking the records to import", records);
  long faulty = 0;
  long first = -1;
  std::string why;
  bool breaksDirectory = false;
  for (long i = 0; i < records; ++i) {
    checkPoint();
    progress.advance();
    LocationData r;
    from.getLocationData(i, r);
    RecordFault fault = findRecordFault(r);
    if (fault == RecordFault::kNone || (force && fault != RecordFault::kControlByte)) continue;
    breaksDirectory = breaksDirectory || fault == RecordFault::kControlByte;
    if (faulty++ == 0) {
      first = i;
      why = describeRecordFault(r, fault);
    }
  }
  if (faulty == 0) return;
  std::string which = faulty == 1 ? "record " + std::to_string(first) + " of " +
                                        std::to_string(records) + " cannot be real: " + why
                                  : std::to_string(faulty) + " of its " + std::to_string(records) +
                                        " records cannot be real (the first, record " +
                                        std::to_string(first) + ": " + why + ")";
  throw Error("\"" + source + "\" does not look like a data file of locations: " + which +
                  "; nothing was imported" +
                  (breaksDirectory ? "." : " (--force imports it all the same)."),
              Error::Cause::kBadInput);
}

}  // namespace

void DatabaseImport::importRows(std::vector<StationRow> rows, bool replaceEqual,
                                ProgressInfo& info) {
  ScratchFolder scratch(platform::Env::current()->tempFolder());
  if (!scratch.ok()) {
    throw Error("Cannot prepare the stations: " + scratch.error() + "; nothing was imported.",
                Error::Cause::kSystem);
  }
  sortIntoHierarchyOrder(&rows);
  std::string listFile = scratch.file("list.bmt");
  {
    Database list(listFile, access_.waitSeconds());
    createDatabase(list, rows, false, [](const std::string&) {});
  }
  importFrom(listFile, replaceEqual, info);
}

void DatabaseImport::importFrom(const std::string& source, bool replaceEqual, ProgressInfo& info,
                                bool force) {
  platform::FileStatus status;
  platform::Env::current()->statusOf(source, &status, true);
  if (status.kind != platform::FileStatus::kRegular) {
    bool missing = status.kind == platform::FileStatus::kMissing;
    throw Error("\"" + source + "\" is " + (missing ? "not there" : "not a regular file") +
                    ", so it is no data file to import.",
                missing ? Error::Cause::kNotFound : Error::Cause::kBadInput);
  }
  if (sameExistingFile(source, access_.dataFile())) {
    throw Error("\"" + source + "\" is this database's own data file.", Error::Cause::kBadInput);
  }
  // Read-only: the source stays as it is, its directory file included.
  BMTFile from(source.c_str(), BMTFile::kReadOnly);
  if (!from.IsValid()) {
    throw Error("\"" + source + "\" cannot be used as a data file: " + Database::libraryReason() +
                    "; nothing was imported.",
                Error::Cause::kBadInput);
  }
  importOpen(from, source, replaceEqual, info, force);
}

void DatabaseImport::importFrom(Database& source, bool replaceEqual, ProgressInfo& info,
                                bool force) {
  if (source.db() == nullptr) {
    throw Error("The database \"" + source.dataFile() + "\" is not open; nothing was imported.",
                Error::Cause::kBadInput);
  }
  if (&source == &access_ || sameExistingFile(source.dataFile(), access_.dataFile())) {
    throw Error("\"" + source.dataFile() + "\" is this database's own data file.",
                Error::Cause::kBadInput);
  }
  importOpen(*source.db(), source.dataFile(), replaceEqual, info, force);
}

void DatabaseImport::importOpen(BMTFile& from, const std::string& source, bool replaceEqual,
                                ProgressInfo& info, bool force) {
  refuseStrayLocations(from.directory, from.fileLength() / static_cast<long>(sizeof(LocationData)),
                       from.directory->fileName, source, "nothing was imported");
  checkImportable(from, source, force);
  info.expect(access_.db()->directory->locationCount + from.directory->locationCount);
  merge(from, replaceEqual, info, "the import stopped", "nothing was imported");
}

void DatabaseImport::merge(MetDatabase& source, bool replaceEqual, ProgressInfo& info,
                           const char* unexplained, const char* nothingDone) {
  try {
    refuseStrayLocations(access_.db()->directory, access_.recordCount(), access_.directoryFile(),
                         access_.dataFile(), nothingDone);
    access_.db()->merge(source, replaceEqual, info);
  } catch (...) {
    // A record could not be read (or info stopped the merge): the files are
    // as they were, and so must the directory file stay.
    access_.discardEdits();
    throw;
  }
  if (!info.completed()) {
    access_.discardEdits();
    std::string reason = Database::libraryReason();
    throw Error("Cannot write the new data file beside \"" + access_.dataFile() + "\": " +
                    (reason.empty() ? std::string(unexplained) : reason) + "; " + nothingDone + ".",
                Error::Cause::kSystem);
  }
  access_.noteChanged();
  access_.saveDirectory();
}

}  // namespace metdb
