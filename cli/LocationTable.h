#ifndef METDB_CLI_LOCATIONTABLE_H_
#define METDB_CLI_LOCATIONTABLE_H_

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "datafile/LocationData.h"

namespace metdb {

// The table of locations that list and nearest print: the command's own
// leading number columns (nearest: distance and bearing), then INDEX,
// CONTINENT, COUNTRY, STATE, NAME, LEVEL, LATITUDE and LONGITUDE. Each
// column is as wide as its widest cell in terminal columns (text::displayWidth:
// a CJK character takes two, a combining accent none), two blanks apart, numbers aligned to the
// right, no blanks at the end of a line. Rows are not kept: a caller measures every row first and
// then writes them, so that a long list never needs to be held whole.
class LocationTable {
 public:
  // leadingHeadings: the headings of the leading columns, none by default.
  explicit LocationTable(std::vector<std::string> leadingHeadings = {});

  // Widens the columns to fit the row of record (at record index index)
  // with the leading cells (one per leading column; missing ones are
  // empty).
  void measure(const LocationData& record, long index,
               const std::vector<std::string>& leading = {});

  // Writes the headings, or the row of one record, as one line.
  void writeHeadings(std::ostream& out) const;
  void writeRow(std::ostream& out, const LocationData& record, long index,
                const std::vector<std::string>& leading = {}) const;

 private:
  std::vector<std::string> cells(const LocationData& record, long index,
                                 const std::vector<std::string>& leading) const;
  void writeLine(std::ostream& out, const std::vector<std::string>& row) const;

  std::size_t leadingColumns_;
  std::vector<std::string> headings_;
  std::vector<bool> alignRight_;
  std::vector<std::size_t> width_;
};

}  // namespace metdb

#endif  // METDB_CLI_LOCATIONTABLE_H_
