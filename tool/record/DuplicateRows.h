#ifndef METDB_TOOL_RECORD_DUPLICATEROWS_H_
#define METDB_TOOL_RECORD_DUPLICATEROWS_H_

#include <vector>

#include "tool/record/StationCsv.h"

namespace metdb {

// A row of a station list that repeats an earlier one.
struct DuplicateRow {
  long line = 0;       // the line on which the repeating row starts
  long firstLine = 0;  // the line of the earlier row that it repeats
};

// Removes from *rows every row that repeats an earlier one: one whose name,
// state, country and continent are the same ignoring ASCII letter case (as
// the library compares names), and whose level, latitude and longitude are
// the same (0 and -0 being one); the other fields are not compared, so that
// such a row is the same location as the earlier one whatever its series
// hold. The rows kept stay in their order. Returns one entry per row
// removed, in the order of the rows. Takes time and memory in proportion to
// the number of rows (each is hashed once).
std::vector<DuplicateRow> removeDuplicateRows(std::vector<StationRow>* rows);

// removeDuplicateRows on result's rows, with the count in duplicateRows,
// each row left out in repeatedLines, and one warning on the first of them
// naming the line it repeats and how many more there are (the warnings in
// line order).
void dropDuplicateRows(StationCsvResult* result);

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_DUPLICATEROWS_H_
