#include "tool/lists/StationListReading.h"

#include <algorithm>
#include <memory>

#include "tool/InputFile.h"
#include "tool/record/DuplicateRows.h"
#include "tool/text/PeekedInput.h"
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
  return start.find('\0') == std::string::npos;
}

bool fileLooksLikeStationList(const std::string& path) {
  InputFile in(path);
  char start[512];
  in.read(start, sizeof start);
  return in.gcount() > 0 &&
         looksLikeStationList(std::string(start, static_cast<std::size_t>(in.gcount())));
}

namespace {

std::string withoutPeriod(std::string s) {
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

}  // namespace

StationListFindings describeFindings(const StationCsvResult& result, const std::string& source,
                                     bool skipBad, const std::string& consequence) {
  StationListFindings out;
  for (const StationCsvIssue& w : result.warnings) out.warnings.push_back(w.describe(source));
  auto stop = [&](const StationCsvIssue& e) {
    out.errors.push_back(withoutPeriod(e.describe(source)) + "; " + consequence + ".");
  };
  if (result.fatal) {
    out.stops = true;
    for (const StationCsvIssue& e : result.errors) stop(e);
  } else if (!result.ok() && !skipBad) {
    out.stops = true;
    stop(result.errors.front());
  } else {
    for (const StationCsvIssue& e : result.errors) {
      out.warnings.push_back(withoutPeriod(e.describe(source)) + "; the row is skipped.");
    }
  }
  return out;
}

StationCsvResult readAnyStationList(std::istream& in, const StationListReading& reading,
                                    StationListFormat* used) {
  PeekedInput peeked(in.rdbuf(), kFormatBytes);
  StationListFormat format =
      reading.detectFormat ? detectStationListFormat(peeked.start()) : reading.format;
  if (used != nullptr) *used = format;
  std::istream whole(&peeked);
  if (format == StationListFormat::kCsv && reading.list.columns.empty()) {
    return StationCsv::parse(whole, reading.csv);
  }
  std::unique_ptr<text::TextDecoder> decoder;
  std::istream decoded(whole.rdbuf());
  if (!reading.csv.encoding.empty()) {
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
  return result;
}

}  // namespace metdb
