#include "tool/lists/StationListReading.h"

#include <algorithm>
#include <memory>

#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/lists/CountryResolution.h"
#include "tool/lists/GeoPackagePoints.h"
#include "tool/places/LocationTimeZone.h"
#include "tool/record/DuplicateRows.h"
#include "tool/text/BoundedInput.h"
#include "tool/text/InputFile.h"
#include "tool/text/PeekedInput.h"
#include "tool/text/Text.h"
#include "tool/text/TextDecoder.h"

namespace metdb {

namespace {

// Enough of a list to tell its format: a header, or a few lines.
constexpr std::size_t kFormatBytes = 8192;

// The delimiter that the first line holds most of: a comma, a semicolon or
// a tab; a comma when it holds none.
char mostFrequentDelimiter(const std::string& start) {
  std::string line = start.substr(0, start.find('\n'));
  char best = ',';
  long most = 0;
  for (char d : {',', ';', '\t'}) {
    long n = static_cast<long>(std::count(line.begin(), line.end(), d));
    if (n > most) {
      best = d;
      most = n;
    }
  }
  return best;
}

}  // namespace

bool looksLikeStationList(const std::string& start) {
  return start.find('\0') == std::string::npos || looksLikeGeoPackage(start);
}

bool fileLooksLikeStationList(const std::string& path, std::string* whyNot) {
  std::string why;
  try {
    InputFile file(path);
    char start[512];
    std::streamsize got = file.sgetn(start, sizeof start);
    std::string bytes(start, static_cast<std::size_t>(got > 0 ? got : 0));
    if (looksLikeStationList(bytes) && !bytes.empty()) return true;
    why = bytes.empty()
              ? "it is empty"
              : "its byte " + std::to_string(bytes.find('\0')) + " is NUL, which no text holds";
  } catch (const Error& e) {
    why = e.what();  // a FIFO, a device or a folder is neither
  }
  if (whyNot != nullptr) *whyNot = why;
  return false;
}

StationListReading standardStationListReading() {
  StationListReading reading;
  reading.countries = standardCountryResolver();
  reading.list.division = standardDivisionNamer();
  reading.list.ghcnState = standardGhcnStateNamer();
  return reading;
}

std::string stationListName(const std::string& file) {
  return file == InputFile::kStandardInput ? "standard input" : file;
}

StationCsvResult readStationListFile(const std::string& file, const StationListReading& reading) {
  InputFile input(file);
  std::istream in(&input);
  StationCsvResult result = readAnyStationList(in, reading);
  if (!input.fault().empty()) throw Error(input.fault());
  return result;
}

StationListFindings describeFindings(const StationCsvResult& result, const std::string& source,
                                     bool skipBad, const std::string& consequence) {
  StationListFindings out;
  for (const StationCsvIssue& w : result.warnings) out.warnings.push_back(w.describe(source));
  auto stop = [&](const StationCsvIssue& e) {
    out.errors.push_back(text::withoutPeriod(e.describe(source)) + "; " + consequence + ".");
  };
  if (result.fatal) {
    out.stops = true;
    for (const StationCsvIssue& e : result.errors) stop(e);
  } else if (!result.ok() && !skipBad) {
    out.stops = true;
    stop(result.errors.front());
  } else {
    for (const StationCsvIssue& e : result.errors) {
      out.warnings.push_back(text::withoutPeriod(e.describe(source)) + "; the row is skipped.");
    }
  }
  return out;
}

namespace {

// Notes on each row with station information where it came from, unless
// the list said so itself: the format and the line. Gives every row whose
// list names no time zone the one of its position (LocationTimeZone), which
// alone is no reason to note the source.
StationCsvResult withSources(StationCsvResult result, StationListFormat format) {
  std::unique_ptr<LocationTimeZone> zones;
  for (StationRow& row : result.rows) {
    if (!row.station.empty() && row.station.source.empty()) {
      row.station.source = formatName(format) + " line " + std::to_string(row.line);
    }
    if (!row.station.timeZone.empty()) continue;
    checkPoint();
    if (!zones) zones = std::make_unique<LocationTimeZone>();
    row.station.timeZone =
        zones->of(row.record.latitude, row.record.longitude, fieldText(row.record.country));
  }
  return result;
}

// What a JSON document costs in memory for each byte of its text: the text
// itself and the parsed values.
constexpr unsigned kJsonByteCost = 24;
// A GeoPackage is read whole and opened in memory: its bytes twice, and
// the database engine's pages.
constexpr unsigned kGeoPackageByteCost = 4;

StationCsvResult readBounded(BoundedInput* bounded, const StationListReading& reading,
                             StationListFormat* used) {
  PeekedInput peeked(bounded, kFormatBytes);
  StationListFormat format =
      reading.detectFormat ? detectStationListFormat(peeked.start()) : reading.format;
  if (used != nullptr) *used = format;
  // Neither is read by lines: a line limit means nothing to them.
  if (format == StationListFormat::kGeoJson) bounded->readWhole(kJsonByteCost);
  if (format == StationListFormat::kGeoPackage) bounded->readWhole(kGeoPackageByteCost);
  std::istream whole(&peeked);
  if (format == StationListFormat::kCsv && reading.list.columns.empty()) {
    return withSources(StationCsv::parse(whole, reading.csv), format);
  }
  std::unique_ptr<text::TextDecoder> decoder;
  std::istream decoded(whole.rdbuf());
  // A GeoPackage is binary: its text is UTF-8 by definition.
  if (!reading.csv.encoding.empty() && format != StationListFormat::kGeoPackage) {
    decoder = std::make_unique<text::TextDecoder>(&peeked, reading.csv.encoding);
    decoded.rdbuf(decoder.get());
  }
  ListOptions options = reading.list;
  options.skipBadRows = reading.csv.mode == StationCsv::Mode::kSkipBadRows;
  options.delimiter =
      reading.csv.delimiter != 0 ? reading.csv.delimiter : mostFrequentDelimiter(peeked.start());
  ListedStations listed = readStationList(decoded, format, options);
  if (decoder && !decoder->fault().empty()) {
    listed.errors.push_back({0, "", decoder->fault()});
    listed.fatal = true;
  }
  StationCsvResult result = mapStations(std::move(listed), reading.countries, options.skipBadRows);
  bool refused = !options.skipBadRows && !result.ok();
  if (!reading.csv.keepDuplicates && !refused) dropDuplicateRows(&result);
  return withSources(std::move(result), format);
}

}  // namespace

StationCsvResult readAnyStationList(std::istream& in, const StationListReading& reading,
                                    StationListFormat* used) {
  BoundedInput::Limits limits = BoundedInput::forFreeMemory();
  if (reading.memoryBudget != 0) limits.budget = reading.memoryBudget;
  BoundedInput bounded(in.rdbuf(), limits);
  StationCsvResult result = readBounded(&bounded, reading, used);
  bounded.rethrowIfStopped();
  if (!bounded.limitReached().empty()) {
    // What was read is incomplete, and may be large: none of it is kept.
    result = StationCsvResult();
    result.errors.push_back({bounded.limitLine(), "", bounded.limitReached()});
    result.fatal = true;
  }
  return result;
}

}  // namespace metdb
