#ifndef METDB_TOOL_LISTS_HEADEREDCSV_H_
#define METDB_TOOL_LISTS_HEADEREDCSV_H_

#include <istream>
#include <string>
#include <vector>

#include "tool/lists/ListedStation.h"
#include "tool/record/CsvReader.h"

namespace metdb {

// A CSV list whose first row names its columns, read row by row with the
// fields found by their names (ignoring ASCII case and blanks around them).
class HeaderedCsv {
 public:
  // Reads the header from in (the caller's; it outlives this object), the
  // fields separated by delimiter.
  explicit HeaderedCsv(std::istream& in, char delimiter = ',');

  // The position of the column of that name, or -1.
  int column(const std::string& name) const;
  // Whether the list has a header with every column of required; if not,
  // reports the fault of the list as a whole in *out (an empty list, or
  // the first column lacking, as a column of listName) and marks it fatal.
  bool hasColumns(const std::vector<std::string>& required, const std::string& listName,
                  ListedStations* out) const;

  // The next row; false at the end of the input. A row that is not
  // well-formed CSV is reported in *out (as an error of its line) and
  // skipped; one that leaves the rest unreadable ends the input.
  bool next(ListedStations* out);
  long line() const { return row_.line; }
  // The field of the current row at column (trimmed); empty for -1 or a
  // short row.
  std::string field(int column) const;

 private:
  CsvReader reader_;
  std::vector<std::string> names_;
  CsvRecord row_;
  bool hasHeader_ = false;
};

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_HEADEREDCSV_H_
