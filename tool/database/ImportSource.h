#ifndef METDB_TOOL_DATABASE_IMPORTSOURCE_H_
#define METDB_TOOL_DATABASE_IMPORTSOURCE_H_

#include <string>

#include "tool/database/Database.h"
#include "tool/database/ProgressInfo.h"
#include "tool/lists/StationListReading.h"

namespace metdb {

// What an import reads, told apart as the tool tells it: a station list
// (its format given, standard input, or a file whose start is text) or
// another database's data file. The list is read whole before the
// database is opened, so that no lock is held while a slow list arrives.
class ImportSource {
 public:
  // file: the list or data file ("-": a list on standard input). reading:
  // how to read a list (its mode follows skipBad: faulty rows skipped, each
  // a warning, or the first one stopping the import). formatGiven: a list
  // whatever its start.
  ImportSource(std::string file, StationListReading reading, bool formatGiven, bool skipBad);

  // Tells what the file is and reads it when it is a list. Returns what
  // reading found (describeFindings: warnings, and errors ending "; nothing
  // was imported." when the import stops); nothing for a data file. Throws
  // Error, naming the cause, when the file is neither (bytes shorter than a
  // record that are no text) or the list cannot be read.
  StationListFindings read();

  // Imports what read() found into access (opened with DatabaseUse::kWrite):
  // the list's rows (DatabaseImport::importRows) or the data file
  // (DatabaseImport::importFrom, with force as there). For after a read()
  // whose findings do not stop; throws as those do.
  void importInto(Database& access, bool replaceEqual, bool force, ProgressInfo& info);

 private:
  std::string file_;
  StationListReading reading_;
  bool formatGiven_;
  bool skipBad_;
  bool isList_ = false;
  StationCsvResult rows_;
};

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_IMPORTSOURCE_H_
