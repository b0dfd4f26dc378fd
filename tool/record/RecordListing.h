#ifndef METDB_TOOL_RECORD_RECORDLISTING_H_
#define METDB_TOOL_RECORD_RECORDLISTING_H_

#include <optional>
#include <ostream>
#include <vector>

#include "datafile/LocationData.h"
#include "tool/record/JsonArrayWriter.h"
#include "tool/record/RecordColumns.h"

namespace metdb {

// The formats a listing of records in chosen columns takes for programs.
enum class ListingFormat {
  // A header row of the column names, then one row per record, as
  // writeCsvLine writes them; with the station list's columns it reads back
  // with create.
  kCsv,
  // An array with one object per record, its members the columns in their
  // order, one object on each line.
  kJson,
};

// Writes a listing one record at a time, so that no record is held longer
// than its row takes: begin(), write() for each record, end(). Output goes
// to a stream the caller owns, which must outlive the writer; write
// failures are left in the stream's state for the caller to see.
class RecordListing {
 public:
  RecordListing(std::ostream& out, ListingFormat format, std::vector<RecordColumn> columns);

  // CSV: the header row; JSON: the array's opening.
  void begin();
  // The row (or object) of record, at record index index.
  // info: the location's station information, for station columns.
  void write(const LocationData& record, long index, const StationInfo* info = nullptr);
  // JSON: the array's end; CSV: nothing.
  void end();

 private:
  std::ostream& out_;
  ListingFormat format_;
  std::vector<RecordColumn> columns_;
  std::optional<JsonArrayWriter> array_;  // JSON, from begin() on
};

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_RECORDLISTING_H_
