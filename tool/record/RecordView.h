#ifndef METDB_TOOL_RECORD_RECORDVIEW_H_
#define METDB_TOOL_RECORD_RECORDVIEW_H_

#include <ostream>

#include "datafile/LocationData.h"
#include "datafile/StationInfo.h"

namespace metdb {

// Writes one record for a reader: a line per field (name, state, country,
// continent, level, latitude, longitude, auxValue), then the five series as
// a table of twelve columns with a row per series. Floats are shown as the
// shortest decimal that reads back to the same value.
void writeRecordView(std::ostream& out, const LocationData& record, long index,
                     const StationInfo* station = nullptr);

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_RECORDVIEW_H_
