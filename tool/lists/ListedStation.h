#ifndef METDB_TOOL_LISTS_LISTEDSTATION_H_
#define METDB_TOOL_LISTS_LISTEDSTATION_H_

#include <functional>
#include <string>
#include <vector>

#include "tool/record/StationCsv.h"

namespace metdb {

// How a published list names a station's country.
enum class CountryCode {
  kIso,   // ISO 3166-1 alpha-2 (GeoNames, OurAirports)
  kFips,  // FIPS 10-4
  // NOAA's lists (GHCN-Daily's ID prefix, ISD's CTRY): GHCN-Daily's own
  // table of country codes, FIPS 10-4 for a code that it lacks.
  kGhcn,
  kName,  // the country's name, as the database stores it
};

// One station as a published list gives it, before it becomes a record:
// the country still a code, the continent still unknown unless the list
// names it, the name not yet cut to its field.
struct ListedStation {
  long line = 0;  // physical line of the list, from 1
  std::string name;
  std::string state;
  std::string country;
  CountryCode countryCode = CountryCode::kName;
  std::string continent;  // empty: the country's
  double latitude = 0.0;
  double longitude = 0.0;
  int level = 1;
  // Further fields of the record by their station-list column names
  // ("auxValue", "seriesA1", ...), as text.
  std::vector<std::pair<std::string, std::string>> otherFields;
  // What the list says beyond the record: identifiers, elevation, time
  // zone, years of operation (the source is filled in by the reading).
  StationInfo station;
};

// What a list's reader found: the stations, and the problems of rows that
// could not be read (errors) or were read with a doubt (warnings), each with
// its line. fatal: the list as a whole cannot be read further.
struct ListedStations {
  std::vector<ListedStation> stations;
  std::vector<StationCsvIssue> warnings;
  std::vector<StationCsvIssue> errors;
  bool fatal = false;
};

// What a reader is told beyond the text.
struct ListOptions {
  // A faulty row ends the reading (false) or is skipped and reported (true).
  bool skipBadRows = false;
  // Every station gets this level instead of the format's rule, when >= -128.
  int level = -1000;
  // OurAirports: the airport types to keep (e.g. "large_airport"); empty:
  // all but closed ones.
  std::vector<std::string> types;
  // Any other CSV: the byte between fields.
  char delimiter = ',';
  // Any other CSV: which of the file's columns holds each of the record's
  // fields, e.g. {"name", "STATION_NAME"}. A field may also be given as
  // country-iso or country-fips (a code) instead of country.
  std::vector<std::pair<std::string, std::string>> columns;
  // GeoNames: the name of a first-level division ("CH.25" -> "Zurich"),
  // empty when unknown. Unset: the code stands as the state.
  std::function<std::string(const std::string& country, const std::string& admin1)> division;
  // NOAA's lists (GHCN-Daily, ISD): the name of a state or province from
  // the list's country and state codes ("US", "NY" -> "New York"), empty
  // when the code names none in that country. Unset, or empty: the code
  // stands as the state.
  std::function<std::string(const std::string& country, const std::string& state)> ghcnState;

  bool levelGiven() const { return level >= -128; }
};

// Reports a row's fault; returns false so that a reader can write
// `return rowError(...)`.
bool rowError(ListedStations* out, long line, const std::string& column,
              const std::string& message);

// Adds the identifier scheme:value to s when value (without surrounding
// blanks) is not empty and holds no blank; a list's empty or odd code is
// no identifier.
void addListedId(ListedStation* s, const std::string& scheme, const std::string& value);

// Sets s's elevation from text in metres times factor (0.3048 for feet);
// empty text, text that is no number and values at or below missingAtOrBelow
// (a list's mark for unknown, such as -999.9) leave it unknown.
void setListedElevation(ListedStation* s, const std::string& text, double factor = 1.0,
                        double missingAtOrBelow = -999.0);

// Whether a reader stops: a fault of the list as a whole, or a faulty row
// when bad rows are not to be skipped.
bool readingStops(const ListedStations& out, const ListOptions& options);

// The state of a NOAA list's station: the name options.ghcnState gives
// for its codes, else the code itself.
std::string ghcnStateOf(const std::string& country, const std::string& code,
                        const ListOptions& options);

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_LISTEDSTATION_H_
