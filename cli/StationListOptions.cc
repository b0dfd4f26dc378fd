#include "cli/StationListOptions.h"

#include <CLI/CLI.hpp>
#include <istream>

#include "tool/Error.h"
#include "tool/lists/ColumnMapping.h"
#include "tool/record/NameLevels.h"
#include "tool/text/Text.h"
#include "tool/text/TextDecoder.h"

namespace metdb {

namespace {

// The delimiter that a --delimiter value names, or 0. A tab may be given
// as itself, as "tab", or as the two characters \t that a shell leaves of
// '\t'.
char delimiterOf(const std::string& value) {
  if (value == "," || value == ";") return value[0];
  if (value == "\t" || value == "\\t" || value == "tab") return '\t';
  return 0;
}

}  // namespace

void addStationListOptions(CLI::App* command, StationListOptions* options,
                           const std::string& positional) {
  command
      ->add_option(positional, options->file,
                   "The station list (a file, or - for standard input), in any format of "
                   "--from")
      ->required()
      ->type_name("");
  addStationListReadingOptions(command, options);
}

void addStationListReadingOptions(CLI::App* command, StationListOptions* options) {
  options->reading = standardStationListReading();
  command
      ->add_option("--encoding", options->reading.csv.encoding,
                   "The list's character set, converted to UTF-8 as it is read (latin1, "
                   "windows-1252, utf-16, ...; default: UTF-8, checked)")
      ->type_name("NAME")
      ->check(
          [](const std::string& name) -> std::string {
            if (text::TextDecoder::knows(name)) return "";
            return "\"" + name +
                   "\" names no character set that ICU knows (it knows latin1, windows-1252, "
                   "utf-16, shift_jis and many more)";
          },
          "");
  command
      ->add_option_function<std::string>(
          "--delimiter",
          [options](const std::string& value) {
            options->reading.csv.delimiter = delimiterOf(value);
          },
          "What separates the fields: ',', ';' or tab (default: whichever the header uses)")
      ->type_name("CHAR")
      ->check(
          [](const std::string& value) -> std::string {
            if (delimiterOf(value) != 0) return "";
            return "\"" + value + "\" is no delimiter; give ',', ';' or tab";
          },
          "");
  command->add_flag("--keep-duplicates", options->reading.csv.keepDuplicates,
                    "Keep rows that repeat an earlier row (same names, level and position) "
                    "instead of leaving them out with a warning");
  command
      ->add_option_function<std::string>(
          "--from",
          [options](const std::string& name) {
            formatOfName(name, &options->reading.format);
            options->reading.detectFormat = false;
            options->formatGiven = true;
          },
          "The list's format: csv, ghcnd-stations, isd-history, ourairports, geonames, "
          "geojson or gpkg (default: told from its start)")
      ->type_name("FORMAT")
      ->check(CLI::IsMember(stationListFormatNames()));
  command
      ->add_option_function<std::string>(
          "--columns",
          [options](const std::string& text) {
            try {
              options->reading.list.columns = ColumnMapping::parse(text);
              ColumnMapping check(options->reading.list.columns);
            } catch (const Error& e) {
              // A usage error, as CLI11 reports its own.
              throw CLI::ValidationError(e.what());
            }
          },
          "Which of the list's columns (or GeoJSON properties) hold the record's fields, as "
          "FIELD=COLUMN,... (name=STATION_NAME,latitude=LAT,country-iso=CC,...)")
      ->type_name("MAP");
  command
      ->add_option_function<std::string>(
          "--type",
          [options](const std::string& text) {
            options->reading.list.types = text::split(text, ',');
          },
          "ourairports: the airport types to keep, e.g. large,medium (default: all but closed)")
      ->type_name("TYPES");
  command
      ->add_option("--level", options->reading.list.level,
                   "Give every station this level instead of the format's rule")
      ->type_name("N")
      ->check(CLI::Range(static_cast<int>(levelField().min), static_cast<int>(levelField().max)));
}

std::string stationListName(const StationListOptions& options) {
  return stationListName(options.file);
}

StationCsvResult readStationList(const StationListOptions& options, StationCsv::Mode mode) {
  StationListReading reading = options.reading;
  reading.csv.mode = mode;
  return readStationListFile(options.file, reading);
}

bool readStationsReporting(const StationListOptions& options, bool skipBad,
                           const std::string& consequence, ToolContext& context,
                           StationCsvResult* result) {
  std::string source = stationListName(options);
  try {
    *result = readStationList(
        options, skipBad ? StationCsv::Mode::kSkipBadRows : StationCsv::Mode::kStopAtFirstError);
  } catch (const Error& e) {
    context.error(text::withoutPeriod(e.what()) + "; " + consequence + ".");
    return false;
  }
  StationListFindings findings = describeFindings(*result, source, skipBad, consequence);
  for (const std::string& w : findings.warnings) context.warning(w);
  for (const std::string& e : findings.errors) context.error(e);
  if (findings.stops) return false;
  return true;
}

}  // namespace metdb
