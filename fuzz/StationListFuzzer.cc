// Reads the fuzzer's bytes as a published station list: with the format's
// own reader (readStationList), and through the whole pipeline from a file
// as the tool reads it (readAnyStationList: format detection, character
// set, mapping onto records, repeated rows). Countries come from a small
// fixed table, so that no data file is needed. Nothing may throw for any
// list, and what is read must hold: every row's names are terminated
// well-formed UTF-8 without control characters, its position is finite and
// on the globe, and every fault and doubt names a line (0 for the list as a
// whole).
//
// Input: one byte of options, then the list's text. The options byte:
//   bits 0-2  the format: 1 csv, 2 ghcnd-stations, 3 isd-history,
//             4 ourairports, 5 geonames, 6 geojson; 0 and 7 detect it
//   bit 3     bad rows are skipped (else the first ends the reading)
//   bit 4     csv and geojson: a column mapping (kMapping); ourairports:
//             only large airports and heliports; geonames: divisions named;
//             ghcnd-stations and isd-history: every station of level 3
//   bits 5-6  the character set: UTF-8 as it is, "latin1", "utf-16", or
//             UTF-8 through the decoder
//   bit 7     repeated rows are kept

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/FuzzRun.h"
#include "tool/lists/ColumnMapping.h"
#include "tool/lists/StationListFormat.h"
#include "tool/lists/StationListReading.h"
#include "tool/text/Utf8.h"

using namespace metdb;  // NOLINT: the tool's library, fuzzed

namespace {

// The mapping of the options' bit 4: some fields under other names, a
// country by its ISO code, the rest under their own names.
const char kMapping[] = "name=STATION,country-iso=CC,latitude=LAT,longitude=LON,level=RANK";

const char* const kEncodings[] = {"", "latin1", "utf-16", "utf-8"};

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "station list fuzzer: %s\n", what);
  std::abort();
}

// Switzerland, Norway, the United States and Australia by their ISO and
// FIPS codes; any name stands for itself, in Europe.
bool resolveCountry(const std::string& code, CountryCode kind, CountryNaming* naming) {
  struct Known {
    const char* iso;
    const char* fips;
    const char* name;
    const char* continent;
  };
  static const Known kKnown[] = {{"CH", "SZ", "Switzerland", "Europe"},
                                 {"NO", "NO", "Norway", "Europe"},
                                 {"US", "US", "United States", "North America"},
                                 {"AU", "AS", "Australia", "Oceania"}};
  if (kind == CountryCode::kName) {
    *naming = {code, "Europe"};
    return true;
  }
  for (const Known& k : kKnown) {
    if (code == (kind == CountryCode::kIso ? k.iso : k.fips)) {
      *naming = {k.name, k.continent};
      return true;
    }
  }
  return false;
}

std::string divisionOf(const std::string& country, const std::string& admin1) {
  return country == "CH" && admin1 == "25" ? "Zürich" : "";
}

void checkIssues(const std::vector<StationCsvIssue>& issues) {
  for (const StationCsvIssue& issue : issues) {
    check(issue.line >= 0, "a fault or doubt with a negative line");
    (void)issue.describe("stations.txt");
  }
}

void checkPosition(double latitude, double longitude) {
  check(std::isfinite(latitude) && latitude >= -90 && latitude <= 90, "a latitude off the globe");
  check(std::isfinite(longitude) && longitude >= -180 && longitude <= 180,
        "a longitude off the globe");
}

void checkName(const char* field, std::size_t size, bool mayBeEmpty) {
  const void* end = std::memchr(field, 0, size);
  check(end != nullptr, "a name without its terminating NUL");
  std::string name(field, static_cast<const char*>(end));
  check(mayBeEmpty || !name.empty(), "an empty name, country or continent");
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    check(c >= 0x20 && c != 0x7f, "a name holding a control character");
  }
  check(text::findInvalidUtf8(name) == std::string::npos, "a name that is not UTF-8");
}

void checkListed(const ListedStations& listed, const ListOptions& options) {
  checkIssues(listed.errors);
  checkIssues(listed.warnings);
  for (const ListedStation& s : listed.stations) {
    check(s.line >= 1, "a station without its line");
    checkPosition(s.latitude, s.longitude);
    if (options.levelGiven()) check(s.level == options.level, "a station not of the level given");
  }
}

void checkResult(const StationCsvResult& result) {
  checkIssues(result.errors);
  checkIssues(result.warnings);
  for (const StationRow& row : result.rows) {
    check(row.line >= 1, "a row without its line");
    const LocationData& r = row.record;
    checkName(r.name, sizeof r.name, false);
    checkName(r.state, sizeof r.state, true);
    checkName(r.country, sizeof r.country, false);
    checkName(r.continent, sizeof r.continent, false);
    float latitude, longitude;
    std::memcpy(&latitude, &r.latitude, sizeof latitude);
    std::memcpy(&longitude, &r.longitude, sizeof longitude);
    checkPosition(latitude, longitude);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned options = data[0];
  const std::string list(reinterpret_cast<const char*>(data + 1), size - 1);
  FuzzRun run;
  std::string path = run.write("stations.txt", data + 1, size - 1);

  StationListReading reading;
  reading.detectFormat = (options & 7) == 0 || (options & 7) == 7;
  if (!reading.detectFormat) {
    check(formatOfName(stationListFormatNames()[(options & 7) - 1], &reading.format),
          "a format without its name");
  }
  const bool optional = (options & 0x10) != 0;
  reading.csv.mode =
      (options & 0x08) != 0 ? StationCsv::Mode::kSkipBadRows : StationCsv::Mode::kStopAtFirstError;
  reading.csv.encoding = kEncodings[(options >> 5) & 3];
  reading.csv.keepDuplicates = (options & 0x80) != 0;
  reading.countries = resolveCountry;
  if (optional) {
    switch (reading.format) {
      case StationListFormat::kCsv:
      case StationListFormat::kGeoJson:
      case StationListFormat::kGeoPackage:
        reading.list.columns = ColumnMapping::parse(kMapping);
        break;
      case StationListFormat::kOurAirports:
        reading.list.types = {"large", "heliport"};
        break;
      case StationListFormat::kGeoNames:
        reading.list.division = divisionOf;
        break;
      case StationListFormat::kGhcndStations:
      case StationListFormat::kIsdHistory:
        reading.list.level = 3;
        break;
    }
  }

  // The format's own reader, on the text as it is.
  if (!reading.detectFormat &&
      (reading.format != StationListFormat::kCsv || !reading.list.columns.empty())) {
    ListOptions listOptions = reading.list;
    listOptions.skipBadRows = reading.csv.mode == StationCsv::Mode::kSkipBadRows;
    std::istringstream in(list);
    ListedStations listed = readStationList(in, reading.format, listOptions);
    checkListed(listed, listOptions);
    checkResult(mapStations(listed, resolveCountry, listOptions.skipBadRows));
  }

  // The whole pipeline, from a file.
  std::ifstream in(path, std::ios::binary);
  StationListFormat used = StationListFormat::kCsv;
  StationCsvResult result = readAnyStationList(in, reading, &used);
  if (reading.detectFormat) {
    check(used == detectStationListFormat(list.substr(0, 8192)), "a format detected otherwise");
  } else {
    check(used == reading.format, "a format other than the one asked for");
  }
  checkResult(result);
  return 0;
}
