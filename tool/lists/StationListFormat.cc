#include "tool/lists/StationListFormat.h"

#include "tool/lists/GeoJsonPoints.h"
#include "tool/lists/GeoNamesCities.h"
#include "tool/lists/GeoPackagePoints.h"
#include "tool/lists/GhcndStations.h"
#include "tool/lists/IsdHistory.h"
#include "tool/lists/MappedCsv.h"
#include "tool/lists/OurAirports.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

struct Named {
  const char* name;
  StationListFormat format;
};
const Named kFormats[] = {
    {"csv", StationListFormat::kCsv},
    {"ghcnd-stations", StationListFormat::kGhcndStations},
    {"isd-history", StationListFormat::kIsdHistory},
    {"ourairports", StationListFormat::kOurAirports},
    {"geonames", StationListFormat::kGeoNames},
    {"geojson", StationListFormat::kGeoJson},
    {"gpkg", StationListFormat::kGeoPackage},
};

bool contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

const std::vector<std::string>& stationListFormatNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> all;
    for (const Named& n : kFormats) all.push_back(n.name);
    return all;
  }();
  return names;
}

std::string formatName(StationListFormat format) {
  for (const Named& n : kFormats) {
    if (n.format == format) return n.name;
  }
  return "csv";
}

bool formatOfName(const std::string& name, StationListFormat* format) {
  for (const Named& n : kFormats) {
    if (name == n.name) {
      *format = n.format;
      return true;
    }
  }
  return false;
}

StationListFormat detectStationListFormat(const std::string& start) {
  if (looksLikeGeoPackage(start)) return StationListFormat::kGeoPackage;
  std::size_t first = start.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
  if (first != std::string::npos && start[first] == '{') return StationListFormat::kGeoJson;
  std::string line = start.substr(0, start.find('\n'));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::string header = text::foldCase(line);
  if (contains(header, "usaf") && contains(header, "wban") && contains(header, "ctry")) {
    return StationListFormat::kIsdHistory;
  }
  if (contains(header, "ident") && contains(header, "latitude_deg") &&
      contains(header, "iso_country")) {
    return StationListFormat::kOurAirports;
  }
  if (looksLikeGeoNamesLine(line)) return StationListFormat::kGeoNames;
  if (looksLikeGhcndLine(line)) return StationListFormat::kGhcndStations;
  return StationListFormat::kCsv;
}

ListedStations readStationList(std::istream& in, StationListFormat format,
                               const ListOptions& options) {
  switch (format) {
    case StationListFormat::kGhcndStations:
      return readGhcndStations(in, options);
    case StationListFormat::kIsdHistory:
      return readIsdHistory(in, options);
    case StationListFormat::kOurAirports:
      return readOurAirports(in, options);
    case StationListFormat::kGeoNames:
      return readGeoNamesCities(in, options);
    case StationListFormat::kGeoJson:
      return readGeoJsonPoints(in, options);
    case StationListFormat::kGeoPackage:
      return readGeoPackagePoints(in, options);
    case StationListFormat::kCsv:
      break;
  }
  return readMappedCsv(in, options);
}

}  // namespace metdb
