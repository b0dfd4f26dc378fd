#ifndef METDB_TOOL_LISTS_STATIONLISTREADING_H_
#define METDB_TOOL_LISTS_STATIONLISTREADING_H_

#include <istream>

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
};

// Reads a station list from in (the caller's): the tool's own CSV (when
// the format is csv and no column mapping is given) as StationCsv reads
// it, any other format with its reader and mapped onto records
// (mapStations), converted from csv.encoding as it is read, names checked
// to be UTF-8, repeated rows left out unless kept. *used, when given, is
// set to the format read. Never throws for bad input (every fault is in the
// result with its line); throws Error for options that do not fit (a faulty
// --columns, an unknown character set).
StationCsvResult readAnyStationList(std::istream& in, const StationListReading& reading,
                                    StationListFormat* used = nullptr);

// Whether the start of a file (its first few hundred bytes) is a station
// list rather than a data file of locations: text holds no NUL byte, while
// every record of a data file ends its names with one.
bool looksLikeStationList(const std::string& start);

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_STATIONLISTREADING_H_
