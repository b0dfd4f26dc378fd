#include "cli/StationListOptions.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

#include "tool/Error.h"
#include "tool/text/TextDecoder.h"

namespace metdb {

namespace {

constexpr char kStandardInput[] = "-";

// The delimiter that a --delimiter value names, or 0. A tab may be given
// as itself, as "tab", or as the two characters \t that a shell leaves of
// '\t'.
char delimiterOf(const std::string& value) {
  if (value == "," || value == ";") return value[0];
  if (value == "\t" || value == "\\t" || value == "tab") return '\t';
  return 0;
}

}  // namespace

void addStationListOptions(CLI::App* command, StationListOptions* options) {
  command
      ->add_option("STATIONS.csv", options->file,
                   "The station list (CSV with a header row); - reads it from standard input")
      ->required()
      ->type_name("");
  command
      ->add_option("--encoding", options->reading.encoding,
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
          [options](const std::string& value) { options->reading.delimiter = delimiterOf(value); },
          "What separates the fields: ',', ';' or tab (default: whichever the header uses)")
      ->type_name("CHAR")
      ->check(
          [](const std::string& value) -> std::string {
            if (delimiterOf(value) != 0) return "";
            return "\"" + value + "\" is no delimiter; give ',', ';' or tab";
          },
          "");
  command->add_flag("--keep-duplicates", options->reading.keepDuplicates,
                    "Keep rows that repeat an earlier row (same names, level and position) "
                    "instead of leaving them out with a warning");
}

std::string stationListName(const StationListOptions& options) {
  return options.file == kStandardInput ? "standard input" : options.file;
}

StationCsvResult readStationList(const StationListOptions& options, StationCsv::Mode mode) {
  StationCsv::Options reading = options.reading;
  reading.mode = mode;
  if (options.file == kStandardInput) return StationCsv::parse(std::cin, reading);
  std::error_code ec;
  if (std::filesystem::is_directory(options.file, ec)) {
    throw Error("\"" + options.file + "\" is a folder, not a station list.");
  }
  std::ifstream in(options.file, std::ios::binary);
  if (!in) {
    throw Error("Cannot open \"" + options.file + "\": " + std::strerror(errno) + ".");
  }
  return StationCsv::parse(in, reading);
}

}  // namespace metdb
