#ifndef METDB_TOOL_DATABASE_BULKEDIT_H_
#define METDB_TOOL_DATABASE_BULKEDIT_H_

#include <string>
#include <vector>

#include "datafile/LocationData.h"
#include "tool/database/Database.h"
#include "tool/database/LocationPath.h"
#include "tool/database/ProgressInfo.h"
#include "tool/record/FieldAssignment.h"
#include "tool/record/Fields.h"

namespace metdb {

// One location's planned change.
struct PlannedChange {
  long index;                                // its record index before the change
  LocationData before;                       // its record as the data file holds it
  LocationData after;                        // its new record
  std::vector<FieldDifference> differences;  // never empty

  // Whether its names, level or position change, so that it moves to
  // another place in the data file (its group, or its place in it).
  bool moves() const;
};

// A change of many locations at once: planned first, so that it can be
// listed (a dry run) and checked, then made in one rewrite of the data file
// (RecordReplacement::replaceAll), which keeps the file grouped. New group
// names take the letter case of the groups of those names in the directory,
// so that the locations join them as they are written.
//
// The database of access must be open, for writing (DatabaseUse::kWrite)
// to apply the plan; reading suffices to plan and check. Its directory must
// not change between planning and applying.
class BulkEdit {
 public:
  explicit BulkEdit(Database& access) : access_(access) {}

  // Plans the assignments for the record of each index (a location must
  // refer to it), in the order given. Records that the assignments leave
  // as they are take no part. A name cut to its field is described in
  // *warnings, once per assignment. Throws Error when no location refers to
  // an index, or a new record would have an empty name other than the
  // state (a name it had empty before).
  void assign(const std::vector<long>& indices, const std::vector<FieldAssignment>& assignments,
              std::vector<std::string>* warnings);

  // Plans renaming the continent, country, state or location (every
  // location of that name in the state) that path names to newName: the
  // path's last part in the record of every location under it. A new name
  // that differs from the old one only in letter case is written as given;
  // another one joins the group of that name under the same parent when
  // there is one, taking its letter case. newName is checked as that field
  // of a station list is (cut with a warning in *warnings when too long).
  // Throws Error when no location is under path or newName is no name of
  // that field.
  void rename(const LocationPath& path, const std::string& newName,
              std::vector<std::string>* warnings);

  // The locations planned and, of those, the ones whose records change, in
  // the order planned.
  long considered() const { return considered_; }
  const std::vector<PlannedChange>& changes() const { return changes_; }
  // After rename: the locations that were under the new name already (the
  // group renamed onto, or same-named locations); 0 for a change of letter
  // case only.
  long joining() const { return joining_; }

  // Checks the plan as applying it would (RecordReplacement::check):
  // throws Error, naming both records, when two new records, or a new one
  // and a location that stays, would be equal. Changes nothing.
  void check() const;

  // Makes the planned changes in one rewrite of the data file, or nothing
  // when none is planned; info hears the rewrite's progress. Throws Error
  // with the data file and the directory file as they were when check
  // refuses or the rewrite fails.
  void apply(ProgressInfo& info);

 private:
  // Reads the record at index, which a location must refer to.
  LocationData read(long index);
  // Plans after for the record at index (read as before), when it differs.
  void plan(long index, const LocationData& before, const LocationData& after);
  // Gives the group names of *after, from the first that differs from
  // before's down, the letter case of the directory's groups of those
  // names, leaving the bytes of the others.
  void adoptGroupNames(const LocationData& before, LocationData* after) const;

  Database& access_;
  std::vector<PlannedChange> changes_;
  long considered_ = 0;
  long joining_ = 0;
};

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_BULKEDIT_H_
