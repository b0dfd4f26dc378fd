#ifndef METDB_TOOL_LISTS_STATIONLISTFORMAT_H_
#define METDB_TOOL_LISTS_STATIONLISTFORMAT_H_

#include <istream>
#include <string>
#include <vector>

#include "tool/lists/ListedStation.h"

namespace metdb {

// The station lists that create and import read.
enum class StationListFormat {
  kCsv,            // the tool's own columns, or any CSV with --columns
  kGhcndStations,  // NOAA GHCN-Daily's ghcnd-stations.txt
  kIsdHistory,     // NOAA ISD's isd-history.csv
  kOurAirports,    // OurAirports' airports.csv
  kGeoNames,       // GeoNames' cities files
  kGeoJson,        // a GeoJSON FeatureCollection of points
  kGeoPackage,     // an OGC GeoPackage's point layer
};

// The formats' names as --from takes them: "csv", "ghcnd-stations",
// "isd-history", "ourairports", "geonames", "geojson", "gpkg".
const std::vector<std::string>& stationListFormatNames();
std::string formatName(StationListFormat format);
// The format of a name; false when it is none.
bool formatOfName(const std::string& name, StationListFormat* format);

// The format that the start of a list shows (its first line or two, or
// more): an SQLite file with the GeoPackage's application id is a
// GeoPackage; a JSON object is GeoJSON; a header naming USAF, WBAN and CTRY is
// ISD's; one naming ident, latitude_deg and iso_country OurAirports'; tab-
// separated lines of GeoNames' nineteen fields GeoNames'; fixed columns of
// an 11-character ID and two numbers GHCN-Daily's; anything else CSV.
StationListFormat detectStationListFormat(const std::string& start);

// Reads a list of a format other than kCsv (whose own reader is
// StationCsv) from in, which the caller owns. Throws Error for options that
// do not fit (a faulty --columns).
ListedStations readStationList(std::istream& in, StationListFormat format,
                               const ListOptions& options);

}  // namespace metdb

#endif  // METDB_TOOL_LISTS_STATIONLISTFORMAT_H_
