#include "tool/lists/OurAirports.h"

#include <algorithm>

#include "tool/lists/Angles.h"
#include "tool/lists/HeaderedCsv.h"

namespace metdb {

const std::vector<std::string>& ourAirportsTypes() {
  static const std::vector<std::string> types = {"large_airport", "medium_airport", "small_airport",
                                                 "heliport",      "seaplane_base",  "balloonport",
                                                 "closed"};
  return types;
}

namespace {

// "large" stands for "large_airport", and so on.
std::string fullType(const std::string& type) {
  for (const std::string& t : ourAirportsTypes()) {
    if (t == type || t == type + "_airport") return t;
  }
  return type;
}

int levelOfType(const std::string& type) {
  if (type == "large_airport") return 1;
  if (type == "medium_airport") return 2;
  if (type == "small_airport") return 3;
  return 4;
}

}  // namespace

ListedStations readOurAirports(std::istream& in, const ListOptions& options) {
  ListedStations out;
  HeaderedCsv csv(in);
  if (!csv.hasColumns(
          {"ident", "type", "name", "latitude_deg", "longitude_deg", "iso_country", "iso_region"},
          "the OurAirports airports table", &out)) {
    return out;
  }
  std::vector<std::string> wanted;
  for (const std::string& t : options.types) wanted.push_back(fullType(t));
  const int type = csv.column("type"), name = csv.column("name"), lat = csv.column("latitude_deg"),
            lon = csv.column("longitude_deg"), country = csv.column("iso_country"),
            region = csv.column("iso_region");
  while (!readingStops(out, options) && csv.next(&out)) {
    std::string kind = csv.field(type);
    bool keep = wanted.empty() ? kind != "closed"
                               : std::find(wanted.begin(), wanted.end(), kind) != wanted.end();
    if (!keep) continue;
    ListedStation s;
    s.line = csv.line();
    s.name = csv.field(name);
    if (s.name.empty()) {
      rowError(&out, s.line, "name", "the airport has no name");
      continue;
    }
    s.country = csv.field(country);
    s.countryCode = CountryCode::kIso;
    std::string why = readAngle(csv.field(lat), true, &s.latitude);
    if (!why.empty()) {
      rowError(&out, s.line, "latitude_deg", "the latitude " + why);
      continue;
    }
    why = readAngle(csv.field(lon), false, &s.longitude);
    if (!why.empty()) {
      rowError(&out, s.line, "longitude_deg", "the longitude " + why);
      continue;
    }
    std::string r = csv.field(region);
    std::size_t dash = r.find('-');
    s.state = dash == std::string::npos ? r : r.substr(dash + 1);
    s.level = options.levelGiven() ? options.level : levelOfType(kind);
    addListedId(&s, "ourairports", csv.field(csv.column("ident")));
    // Newer tables have icao_code; gps_code is the ICAO code where it is
    // four letters.
    std::string icao = csv.field(csv.column("icao_code"));
    if (icao.empty()) icao = csv.field(csv.column("gps_code"));
    if (icao.size() == 4) addListedId(&s, "icao", icao);
    addListedId(&s, "iata", csv.field(csv.column("iata_code")));
    setListedElevation(&s, csv.field(csv.column("elevation_ft")), 0.3048, -1e9);
    out.stations.push_back(s);
  }
  return out;
}

}  // namespace metdb
