#ifndef METDB_TOOL_RECORD_STATIONCSV_H_
#define METDB_TOOL_RECORD_STATIONCSV_H_

#include <istream>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "datafile/LocationData.h"
#include "datafile/StationInfo.h"

namespace metdb {

// A problem found in a station list, tied to the place where it was found.
struct StationCsvIssue {
  // Physical line (from 1) on which the row concerned starts; 0 when the
  // problem is about the file as a whole.
  long line = 0;
  // The column as the header names it; empty when no single column is meant.
  std::string column;
  // What is wrong, as a phrase without a closing period.
  std::string message;

  // One sentence naming the source (a file name; may be empty), the line and
  // the column, e.g.
  //   stations.csv, line 12, column "latitude": "9x" does not parse as a number.
  std::string describe(const std::string& source) const;
};

// One station as read from the list.
struct StationRow {
  // Every byte is set: unused bytes of the name fields are zero.
  LocationData record;
  // Physical line on which the row starts.
  long line = 0;
  // What the list says beyond the record (identifiers, elevation, ...),
  // for the station file.
  StationInfo station;
};

// What StationCsv::parse found.
struct StationCsvResult {
  std::vector<StationRow> rows;
  std::vector<StationCsvIssue> warnings;
  std::vector<StationCsvIssue> errors;
  // True when the list as a whole cannot be used: it is empty, its header is
  // faulty, a quoted field never ends, or its bytes are no text in the
  // character set it is read in. Rows read before such a fault are kept in
  // rows but the list is incomplete.
  bool fatal = false;
  // How many rows were left out because they repeat an earlier row (told
  // by one warning, on the first of them), and each such row's line with
  // the line it repeats, in line order.
  long duplicateRows = 0;
  std::vector<std::pair<long, long>> repeatedLines;

  bool ok() const { return errors.empty(); }
};

// The CSV format of station lists that the metdb tool reads and writes.
//
// The first row is a header naming the columns, in any order, matched
// ignoring ASCII letter case and surrounding blanks:
//   name, state, country, continent      text (at most 20, 30, 30, 20 bytes)
//   latitude                             number, -90..90
//   longitude                            number, -180..180
// and optionally
//   level                                whole number, -128..127 (default 1)
//   auxValue, seriesC1..seriesC12        whole numbers, -32768..32767
//   seriesA1..12, seriesB1..12,
//   seriesD1..12, seriesE1..12           numbers held in 32-bit floats
// Optional columns that are absent, or present with an empty value, give 0
// (the level 1). The station file's columns (ids, wmo, icao, ..., elevation,
// timezone, active_from, active_to, source: see stationColumns()) fill the
// row's station information.
// Columns of other names are ignored, with one warning.
//
// Fields are separated by commas, semicolons or tabs: by the one of them
// that the header holds outside quotes (of several, the one that splits the
// header into the most known column names; a comma when it holds none), or
// by the one the options name.
//
// Numbers are decimal, in the C locale, with an optional sign and exponent,
// and may be surrounded by blanks; "nan", "inf" and the like are refused.
// Text is UTF-8, or converted to it from the character set the options
// name; a field of a known column that holds bytes that are not well-formed
// UTF-8 makes its row faulty. A name longer than its field is cut to the
// longest prefix that ends on a UTF-8 character boundary, with a warning. A
// name, country or continent must not be empty (a state may be), and no
// text field may hold a control character: a line break in a name would
// break the directory file.
//
// A row that repeats an earlier row (see removeDuplicateRows) is left out
// with a warning naming both lines, unless the options keep it.
class StationCsv {
 public:
  enum class Mode {
    // The first faulty row ends the reading; errors then holds that one.
    kStopAtFirstError,
    // A faulty row is skipped and reported in errors; reading goes on. Faults
    // of the file as a whole still end it (see StationCsvResult::fatal).
    kSkipBadRows,
  };

  // How parse reads a list.
  struct Options {
    Mode mode = Mode::kStopAtFirstError;
    // The character set of the list: empty for UTF-8, else any name that
    // text::TextDecoder knows ("latin1", "windows-1252", "utf-16", ...).
    std::string encoding;
    // The byte between fields, ',', ';' or '\t'; 0 for the one the header
    // uses.
    char delimiter = 0;
    // Whether rows that repeat an earlier row are kept (without a warning).
    bool keepDuplicates = false;
  };

  // Reads a station list (CSV as described at CsvReader) from in, which the
  // caller owns, converting it from options.encoding as it is read (a chunk
  // at a time, never the whole list at once). Never throws for bad input;
  // every fault is reported in the result, with its line number. Throws
  // Error when options.encoding names no character set. Each row is a check
  // point of the tool's interruption (checkPoint), whose hook may throw.
  static StationCsvResult parse(std::istream& in, const Options& options);
  // parse with the default options but for mode.
  static StationCsvResult parse(std::istream& in, Mode mode = Mode::kStopAtFirstError);

  // The header row that writeRecord's rows follow, with every column in the
  // order of the class comment, and a line end (LF).
  // withStations: followed by the station file's columns ids, elevation,
  // timezone, active_from, active_to and source.
  static void writeHeader(std::ostream& out, bool withStations = false);
  // One record as a CSV row and a line end (LF). Text fields are quoted when
  // they need it; floats are written in the shortest form that reads back to
  // the same value. parse reads back what writeHeader and writeRecord wrote,
  // except names holding control characters and non-finite series values,
  // which it refuses.
  static void writeRecord(std::ostream& out, const LocationData& record);
  // The same followed by the station columns of writeHeader(out, true);
  // info null: all empty.
  static void writeRecord(std::ostream& out, const LocationData& record, const StationInfo* info);
  // writeHeader followed by writeRecord for each record.
  static void write(std::ostream& out, const std::vector<LocationData>& records);
};

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_STATIONCSV_H_
