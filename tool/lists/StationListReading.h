#ifndef METDB_TOOL_LISTS_STATIONLISTREADING_H_
#define METDB_TOOL_LISTS_STATIONLISTREADING_H_

#include <istream>
#include <string>
#include <vector>

#include "tool/lists/ListedStation.h"
#include "tool/lists/StationListFormat.h"
#include "tool/lists/StationMapping.h"
#include "tool/record/StationCsv.h"

namespace metdb {

// How to read a station list of any format.
struct StationListReading {
  // The mode, the character set, the CSV delimiter and whether repeated
  // rows are kept, for every format (the delimiter for the tool's CSV only).
  StationCsv::Options csv;
  // The format; detectFormat: told from the list's start.
  bool detectFormat = true;
  StationListFormat format = StationListFormat::kCsv;
  // What the published lists' readers are told (skipBadRows follows
  // csv.mode).
  ListOptions list;
  // The countries of codes; needed for every format but the tool's CSV.
  CountryResolver countries;
  // What reading may cost in bytes of memory (BoundedInput); 0: half of the
  // memory free when reading starts.
  unsigned long long memoryBudget = 0;
};

// The reading every front end starts from: countries, divisions and
// GHCN-Daily's states named from the tool's own tables, the rest as
// StationListReading has it.
StationListReading standardStationListReading();

// How messages name the list in file: its name as given, or "standard
// input" for "-".
std::string stationListName(const std::string& file);

// Reads the station list in file ("-": standard input) as
// readAnyStationList reads it. The file is opened without blocking and
// checked on its descriptor (a FIFO or a device is refused), and standard
// input is read so that a signal stops it. Throws Error when the file
// cannot be opened or read, and as readAnyStationList throws.
StationCsvResult readStationListFile(const std::string& file, const StationListReading& reading);

// Reads a station list from in (the caller's): the tool's own CSV (when
// the format is csv and no column mapping is given) as StationCsv reads
// it, any other format with its reader and mapped onto records
// (mapStations), converted from csv.encoding as it is read, names checked
// to be UTF-8, repeated rows left out unless kept. *used, when given, is
// set to the format read. Input past a limit (a line longer than 1 MiB but
// in GeoJSON, more than the free memory allows) ends reading with a fatal
// error naming the limit. Never throws for bad input (every fault is in the
// result with its line); throws Error for options that do not fit (a faulty
// --columns, an unknown character set), and passes on what a check point
// throws while the input is read.
StationCsvResult readAnyStationList(std::istream& in, const StationListReading& reading,
                                    StationListFormat* used = nullptr);

// Whether the start of a file (its first few hundred bytes) is a station
// list rather than a data file of locations: text holds no NUL byte, while
// every record of a data file ends its names with one. A GeoPackage is a
// station list too.
bool looksLikeStationList(const std::string& start);

// The same for the file at path, by its first bytes; false when it cannot
// be read or is empty. *whyNot, when given, is then set to why, as a phrase
// ("its byte 12 is NUL, which no text holds").
bool fileLooksLikeStationList(const std::string& path, std::string* whyNot = nullptr);

// What reading a list from source (its name in messages) found, as
// sentences for a front end to show, warnings before errors.
struct StationListFindings {
  std::vector<std::string> warnings;
  // Why the work stops (each ending "; CONSEQUENCE."); may be empty for a
  // list that could not be read at all but named no fault.
  std::vector<std::string> errors;
  bool stops = false;
};

// A list that cannot be read at all (result.fatal) stops the work, told by
// each of its errors. Otherwise a faulty row stops it, told by the first,
// unless skipBad, with which each faulty row is a warning ending "; the row
// is skipped.". The result's own warnings come first either way.
StationListFindings describeFindings(const StationCsvResult& result, const std::string& source,
                                     bool skipBad, const std::string& consequence);

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_STATIONLISTREADING_H_
