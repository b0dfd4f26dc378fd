#ifndef METDB_TOOL_DATABASE_DATABASEIMPORT_H_
#define METDB_TOOL_DATABASE_DATABASEIMPORT_H_

#include <string>
#include <vector>

#include "datafile/MetDatabase.h"
#include "tool/database/Database.h"
#include "tool/database/ProgressInfo.h"
#include "tool/record/StationCsv.h"

namespace metdb {

// Imports into a database opened with DatabaseUse::kWrite: another
// database, or the rows of a station list. Each import completes, with the
// directory saved, or throws Error with nothing changed.
class DatabaseImport {
 public:
  explicit DatabaseImport(Database& access) : access_(access) {}

  // Imports the database whose data file is source (opened read-only; it
  // stays as it is) into this one, the records of equal locations from
  // source when replaceEqual is set. info hears the progress and the
  // closing report. Throws, with nothing changed, when source is no usable
  // data file or is this database's own, or the import fails. Throws too
  // when a record of source cannot be real (findRecordFault: bytes that are
  // no data file of locations, such as a text file), unless force is set;
  // names holding control bytes are refused even then, for they would
  // break the directory file.
  void importFrom(const std::string& source, bool replaceEqual, ProgressInfo& info,
                  bool force = false);

  // The same from a database this process holds open already (with its
  // own lock, which is not taken again), as the one above.
  void importFrom(Database& source, bool replaceEqual, ProgressInfo& info, bool force = false);

  // Imports the rows of a station list as importFrom imports a database:
  // they become a database of their own in a scratch folder (which goes
  // afterwards), in hierarchy order, which is then imported. Throws, with
  // nothing changed, when that database cannot be made or the import
  // fails.
  void importRows(std::vector<StationRow> rows, bool replaceEqual, ProgressInfo& info);

  // Merges source into the database (BMTFile::merge), dropping the
  // directory's unsaved edits when that fails, and saves the directory.
  // Throws "Cannot write the new data file beside ...: <reason>;
  // <nothingDone>." with the library's reason, or unexplained when it gave
  // none. For the imports above and RecordReplacement.
  void merge(MetDatabase& source, bool replaceEqual, ProgressInfo& info, const char* unexplained,
             const char* nothingDone);

 private:
  // The checks and the merge of an open source named name.
  void importOpen(BMTFile& from, const std::string& name, bool replaceEqual, ProgressInfo& info,
                  bool force);

  Database& access_;
};

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_DATABASEIMPORT_H_
