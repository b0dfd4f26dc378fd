#ifndef METDB_TOOL_DATABASE_RECORDREPLACEMENT_H_
#define METDB_TOOL_DATABASE_RECORDREPLACEMENT_H_

#include <map>
#include <utility>
#include <vector>

#include "datafile/LocationData.h"
#include "datafile/StationInfo.h"
#include "tool/database/Database.h"
#include "tool/database/ProgressInfo.h"

namespace metdb {

// Replaces the records of many locations of a database opened with
// DatabaseUse::kWrite in one rewrite of the data file, whatever their
// number, by importing a database of the new records into the directory
// without the old ones, which leaves the file grouped.
class RecordReplacement {
 public:
  explicit RecordReplacement(Database& access) : access_(access) {}

  // A location's record index and its new record.
  using Replacement = std::pair<long, LocationData>;

  // Each replacement's location takes its new record, and moves to its new
  // group when its names, level or position change; the others stay as
  // they are. The new records' group names are written as given (the
  // caller gives them the directory's letter case first where it wants
  // them to join a group: RecordEditor::adoptGroupNames). The file stays
  // grouped (one whose groups were split before is regrouped afterwards,
  // as Compaction::compactAndRegroup does). info hears the rewrite's
  // progress. Throws Error, with the data file and the directory file as
  // they were, when check refuses or the rewrite fails; does nothing for no
  // replacement. Each location keeps its station information, or takes the
  // one stations gives for its record index.
  void replaceAll(const std::vector<Replacement>& replacements, ProgressInfo& info,
                  const std::map<long, StationInfo>& stations = {});

  // What replaceAll checks before it writes, for a dry run as well:
  // throws Error when an index is given twice or no location refers to
  // it, or when a new record would equal another one (names ignoring case,
  // level, position, as RecordEditor::findEqual compares them), naming
  // both records. The other one is another new record, or a location that
  // stays. Changes nothing.
  void check(const std::vector<Replacement>& replacements) const;

 private:
  Database& access_;
};

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_RECORDREPLACEMENT_H_
