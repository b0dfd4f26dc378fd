#ifndef METDB_TOOL_LISTS_MAPPEDCSV_H_
#define METDB_TOOL_LISTS_MAPPEDCSV_H_

#include <istream>

#include "tool/lists/ListedStation.h"

namespace metdb {

// Any CSV list with a header row, its columns mapped onto the record's
// fields by options.columns (ColumnMapping); fields not mapped are looked
// up under their own names. Positions may be decimal degrees or degrees,
// minutes and seconds. Throws Error for a faulty mapping.
ListedStations readMappedCsv(std::istream& in, const ListOptions& options);

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_MAPPEDCSV_H_
