#include "tool/lists/MappedCsv.h"

#include "tool/lists/ColumnMapping.h"
#include "tool/lists/HeaderedCsv.h"

namespace metdb {

ListedStations readMappedCsv(std::istream& in, const ListOptions& options) {
  ColumnMapping mapping(options.columns);
  ListedStations out;
  HeaderedCsv csv(in, options.delimiter);
  if (!csv.hasColumns({}, "the list", &out)) return out;
  auto value = [&csv](const std::string& column, std::string* v) {
    int at = csv.column(column);
    if (at < 0) return false;
    *v = csv.field(at);
    return true;
  };
  while (!readingStops(out, options) && csv.next(&out)) {
    ListedStation s;
    s.line = csv.line();
    if (!options.levelGiven()) s.level = 1;
    std::string column;
    std::string why = mapping.fill(value, &s, &column);
    if (!why.empty()) {
      rowError(&out, s.line, column, why);
      continue;
    }
    if (options.levelGiven()) s.level = options.level;
    out.stations.push_back(s);
  }
  return out;
}

}  // namespace metdb
