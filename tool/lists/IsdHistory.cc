#include "tool/lists/IsdHistory.h"

#include "tool/lists/Angles.h"
#include "tool/lists/HeaderedCsv.h"
#include "tool/record/StationFields.h"

namespace metdb {

ListedStations readIsdHistory(std::istream& in, const ListOptions& options) {
  ListedStations out;
  HeaderedCsv csv(in);
  if (!csv.hasColumns({"USAF", "STATION NAME", "CTRY", "STATE", "ICAO", "LAT", "LON"},
                      "an ISD station history", &out)) {
    return out;
  }
  const int name = csv.column("STATION NAME"), country = csv.column("CTRY"),
            state = csv.column("STATE"), icao = csv.column("ICAO"), lat = csv.column("LAT"),
            lon = csv.column("LON");
  while (!readingStops(out, options) && csv.next(&out)) {
    ListedStation s;
    s.line = csv.line();
    s.name = csv.field(name);
    if (s.name.empty()) {
      rowError(&out, s.line, "STATION NAME", "the station has no name");
      continue;
    }
    s.country = csv.field(country);
    s.countryCode = CountryCode::kGhcn;
    if (s.country.empty()) {
      rowError(&out, s.line, "CTRY", "the station has no country");
      continue;
    }
    std::string why = readAngle(csv.field(lat), true, &s.latitude);
    if (!why.empty()) {
      rowError(&out, s.line, "LAT", "the latitude " + why);
      continue;
    }
    why = readAngle(csv.field(lon), false, &s.longitude);
    if (!why.empty()) {
      rowError(&out, s.line, "LON", "the longitude " + why);
      continue;
    }
    s.state = ghcnStateOf(s.country, csv.field(state), options);
    s.level = options.levelGiven() ? options.level : csv.field(icao).empty() ? 2 : 1;
    std::string usaf = csv.field(csv.column("USAF")), wban = csv.field(csv.column("WBAN"));
    if (!usaf.empty()) addListedId(&s, "usaf-wban", usaf + (wban.empty() ? "" : "-" + wban));
    addListedId(&s, "icao", csv.field(icao));
    // ELEV(M) is -999.9 (or -0999.0) when unknown; BEGIN and END are
    // YYYYMMDD.
    setListedElevation(&s, csv.field(csv.column("ELEV(M)")));
    s.station.activeFrom = normalizedDate(csv.field(csv.column("BEGIN")));
    s.station.activeTo = normalizedDate(csv.field(csv.column("END")));
    out.stations.push_back(s);
  }
  return out;
}

}  // namespace metdb
