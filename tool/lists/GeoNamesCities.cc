#include "tool/lists/GeoNamesCities.h"

#include "tool/CheckPoint.h"
#include "tool/lists/Angles.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

constexpr std::size_t kFields = 19;
enum Field {
  kName = 1,
  kLatitude = 4,
  kLongitude = 5,
  kCountry = 8,
  kAdmin1 = 10,
  kPopulation = 14,
  kElevation = 15,
  kDem = 16,
  kTimeZone = 17,
};
const char* const kFieldNames[kFields] = {
    "geonameid",   "name",          "asciiname",    "alternatenames",   "latitude",
    "longitude",   "feature class", "feature code", "country code",     "cc2",
    "admin1 code", "admin2 code",   "admin3 code",  "admin4 code",      "population",
    "elevation",   "dem",           "timezone",     "modification date"};

int levelOfPopulation(long long population) {
  if (population >= 1000000) return 1;
  if (population >= 100000) return 2;
  if (population >= 10000) return 3;
  return 4;
}

}  // namespace

bool looksLikeGeoNamesLine(const std::string& line) {
  std::vector<std::string> fields = text::split(line, '\t');
  long long id;
  double v;
  return fields.size() >= kFields &&
         text::readNumber(fields[0], &id) == text::NumberText::kNumber &&
         text::parseNumber(fields[kLatitude], &v) && text::parseNumber(fields[kLongitude], &v);
}

ListedStations readGeoNamesCities(std::istream& in, const ListOptions& options) {
  ListedStations out;
  std::string line;
  long number = 0;
  while (!readingStops(out, options) && std::getline(in, line)) {
    checkPoint();
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::vector<std::string> f = text::split(line, '\t');
    if (f.size() < kFields) {
      rowError(&out, number, "",
               "the line has " + std::to_string(f.size()) + " tab-separated fields, not " +
                   std::to_string(kFields));
      continue;
    }
    ListedStation s;
    s.line = number;
    s.name = text::trimBlanks(f[kName]);
    if (s.name.empty()) {
      rowError(&out, number, kFieldNames[kName], "the place has no name");
      continue;
    }
    std::string why = readAngle(f[kLatitude], true, &s.latitude);
    if (!why.empty()) {
      rowError(&out, number, kFieldNames[kLatitude], "the latitude " + why);
      continue;
    }
    why = readAngle(f[kLongitude], false, &s.longitude);
    if (!why.empty()) {
      rowError(&out, number, kFieldNames[kLongitude], "the longitude " + why);
      continue;
    }
    s.country = text::trimBlanks(f[kCountry]);
    s.countryCode = CountryCode::kIso;
    std::string admin1 = text::trimBlanks(f[kAdmin1]);
    s.state = options.division ? options.division(s.country, admin1) : "";
    if (s.state.empty()) s.state = admin1;
    if (options.levelGiven()) {
      s.level = options.level;
    } else {
      long long population = 0;
      if (!f[kPopulation].empty() &&
          text::readNumber(f[kPopulation], &population) != text::NumberText::kNumber) {
        rowError(&out, number, kFieldNames[kPopulation],
                 text::quoted(f[kPopulation]) + " is not a whole number");
        continue;
      }
      s.level = levelOfPopulation(population);
    }
    addListedId(&s, "geonames", f[0]);
    // The surveyed elevation, else the digital elevation model's (-9999
    // where it has none, as over the sea).
    setListedElevation(&s, f[kElevation], 1.0, -9999.0);
    if (!s.station.hasElevation()) setListedElevation(&s, f[kDem], 1.0, -9999.0);
    s.station.timeZone = text::trimBlanks(f[kTimeZone]);
    out.stations.push_back(s);
  }
  if (number == 0) {
    out.errors.push_back({0, "", "the list is empty"});
    out.fatal = true;
  }
  return out;
}

}  // namespace metdb
