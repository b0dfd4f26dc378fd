#ifndef METDB_CLI_LOCATIONTABLE_H_
#define METDB_CLI_LOCATIONTABLE_H_

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "datafile/LocationData.h"
#include "tool/record/RecordColumns.h"

namespace metdb {

// The table of locations that list, find and nearest print: the command's
// own leading columns (nearest: distance and bearing), then the record's
// columns, by default INDEX, CONTINENT, COUNTRY, STATE, NAME, LEVEL,
// LATITUDE and LONGITUDE; a heading is its column's name in capitals. Each
// column is as wide as its widest cell in terminal columns
// (text::displayWidth: a CJK character takes two, a combining accent none),
// two blanks apart, numbers aligned to the right, no blanks at the end of a
// line; a single coordinate-like real (latitude, longitude) shows four
// decimals, a series element its shortest form. Rows are not kept: a caller
// measures every row first and then writes them, so that a long list never
// needs to be held whole.
class LocationTable {
 public:
  // leadingHeadings: the headings of the leading columns, none by default.
  // columns: the record's columns after them.
  explicit LocationTable(std::vector<std::string> leadingHeadings = {},
                         std::vector<RecordColumn> columns = tableColumns());

  // Widens the columns to fit the row of record (at record index index)
  // with the leading cells (one per leading column; missing ones are
  // empty).
  void measure(const LocationData& record, long index,
               const std::vector<std::string>& leading = {});

  // Writes the headings, or the row of one record, as one line.
  void writeHeadings(std::ostream& out) const;
  void writeRow(std::ostream& out, const LocationData& record, long index,
                const std::vector<std::string>& leading = {}) const;

  // Where station columns find a location's station information, by record
  // index (unset: they stay empty).
  void setStations(std::function<const StationInfo*(long)> stations) {
    stations_ = std::move(stations);
  }

 private:
  std::function<const StationInfo*(long)> stations_;
  std::vector<std::string> cells(const LocationData& record, long index,
                                 const std::vector<std::string>& leading) const;
  void writeLine(std::ostream& out, const std::vector<std::string>& row) const;

  std::size_t leadingColumns_;
  std::vector<RecordColumn> columns_;
  std::vector<std::string> headings_;
  std::vector<bool> alignRight_;
  std::vector<std::size_t> width_;
};

}  // namespace metdb

#endif  // METDB_CLI_LOCATIONTABLE_H_
