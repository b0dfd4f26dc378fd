#ifndef METDB_CLI_STATIONLISTOPTIONS_H_
#define METDB_CLI_STATIONLISTOPTIONS_H_

#include <string>

#include "tool/record/StationCsv.h"

namespace CLI {
class App;
}  // namespace CLI

namespace metdb {

// The station list that create and validate read, and how to read it: the
// file (STATIONS.csv, or "-" for standard input) and the options
// --encoding NAME, --delimiter ','|';'|tab and --keep-duplicates.
struct StationListOptions {
  std::string file;
  // The reading options but for the mode, which the command sets.
  StationCsv::Options reading;
};

// Registers the positional STATIONS.csv (required) and the options on
// command, filling *options (which must outlive the parse). An encoding
// that ICU does not know and a delimiter other than a comma, a semicolon
// or a tab are usage errors.
void addStationListOptions(CLI::App* command, StationListOptions* options);

// How messages name the list: its file name as given, or "standard input".
std::string stationListName(const StationListOptions& options);

// Reads the list (see StationCsv::parse) in mode. Throws Error, a sentence
// naming the file, when the file is a folder or cannot be opened.
StationCsvResult readStationList(const StationListOptions& options, StationCsv::Mode mode);

}  // namespace metdb

#endif  // METDB_CLI_STATIONLISTOPTIONS_H_
