#ifndef METDB_CLI_STATIONLISTOPTIONS_H_
#define METDB_CLI_STATIONLISTOPTIONS_H_

#include <string>

#include "cli/ToolContext.h"

#include "tool/lists/StationListReading.h"
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
  // How to read it but for the mode (reading.csv.mode), which the command
  // sets: --from, --columns, --type, --level beside the CSV's options.
  StationListReading reading;
  // --from was given.
  bool formatGiven = false;
};

// Registers the positional (named positional; required) and the options on
// command, filling *options (which must outlive the parse). An encoding
// that ICU does not know, a delimiter other than a comma, a semicolon or a
// tab, an unknown format and a faulty column mapping are usage errors.
void addStationListOptions(CLI::App* command, StationListOptions* options,
                           const std::string& positional = "STATIONS");
// The same options without the positional (import has its own).
void addStationListReadingOptions(CLI::App* command, StationListOptions* options);

// How messages name the list: its file name as given, or "standard input".
std::string stationListName(const StationListOptions& options);

// Reads the list (readAnyStationList) in mode. Throws Error, a sentence
// naming the file, when the file is a folder or cannot be opened.
StationCsvResult readStationList(const StationListOptions& options, StationCsv::Mode mode);

// Reads the list, stopping at the first faulty row unless skipBad, and
// reports on context: each warning, each skipped row, and the fault that
// makes the list unusable followed by "; " + consequence (such as "nothing
// was written"). False when the list cannot be used.
bool readStationsReporting(const StationListOptions& options, bool skipBad,
                           const std::string& consequence, ToolContext& context,
                           StationCsvResult* result);

}  // namespace metdb

#endif  // METDB_CLI_STATIONLISTOPTIONS_H_
