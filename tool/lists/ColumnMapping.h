#ifndef METDB_TOOL_LISTS_COLUMNMAPPING_H_
#define METDB_TOOL_LISTS_COLUMNMAPPING_H_

#include <functional>
#include <string>
#include <vector>

#include "tool/lists/ListedStation.h"

namespace metdb {

// Which source column (a CSV column, a GeoJSON property) gives each of the
// record's fields.
class ColumnMapping {
 public:
  // From --columns FIELD=COLUMN pairs; fields not named there are looked
  // up under their own names. Throws Error for a FIELD that is no field of
  // the record (naming the valid ones) or given twice.
  explicit ColumnMapping(const std::vector<std::pair<std::string, std::string>>& columns);

  // Parses "name=STATION_NAME,latitude=LAT" into pairs. Throws Error when a
  // part lacks its '='.
  static std::vector<std::pair<std::string, std::string>> parse(const std::string& text);

  // Fills *s from a source row whose values are found by column name
  // (value returns whether the column is there). Returns "" or the fault
  // as a phrase, with *column the source column at fault.
  std::string fill(const std::function<bool(const std::string&, std::string*)>& value,
                   ListedStation* s, std::string* column) const;

 private:
  std::string sourceOf(const std::string& field) const;
  std::vector<std::pair<std::string, std::string>> columns_;
};

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_COLUMNMAPPING_H_
