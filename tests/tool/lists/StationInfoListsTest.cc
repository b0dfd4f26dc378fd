// What each published list says beyond the record: identifiers,
// elevation, time zone and years of operation.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/support/StationListExcerpts.h"
#include "tool/lists/StationListFormat.h"

using namespace metdb;  // NOLINT: the tool's library under test

namespace {

ListedStations read(const char* text, StationListFormat format, ListOptions options = {}) {
  std::istringstream in(text);
  options.skipBadRows = true;
  return readStationList(in, format, options);
}

TEST(StationInfoListsTest, GhcndGivesItsIdTheWmoNumberAndTheElevation) {
  ListedStations l = read(testsupport::kGhcndExcerpt, StationListFormat::kGhcndStations);
  ASSERT_EQ(l.stations.size(), 4u);
  EXPECT_EQ(l.stations[0].station.ids, (std::vector<std::string>{"ghcn:SZ000006717", "wmo:06670"}));
  EXPECT_DOUBLE_EQ(l.stations[0].station.elevation, 426.0);
  EXPECT_EQ(l.stations[3].station.ids, (std::vector<std::string>{"ghcn:ASN00066062"}));
  // -999.9 is GHCN-Daily's mark for an unknown elevation.
  std::string unknown = std::string(testsupport::kGhcndExcerpt).substr(0, 86);
  unknown.replace(31, 6, "-999.9");
  l = read(unknown.c_str(), StationListFormat::kGhcndStations);
  ASSERT_EQ(l.stations.size(), 1u);
  EXPECT_FALSE(l.stations[0].station.hasElevation());
}

TEST(StationInfoListsTest, IsdGivesUsafWbanIcaoElevationAndYears) {
  ListedStations l = read(testsupport::kIsdExcerpt, StationListFormat::kIsdHistory);
  ASSERT_EQ(l.stations.size(), 2u);
  const StationInfo& zurich = l.stations[0].station;
  EXPECT_EQ(zurich.ids, (std::vector<std::string>{"usaf-wban:066700-99999", "icao:LSZH"}));
  EXPECT_DOUBLE_EQ(zurich.elevation, 432.0);
  EXPECT_EQ(zurich.activeFrom, "1931-01-01");
  EXPECT_EQ(zurich.activeTo, "2025-12-31");
}

TEST(StationInfoListsTest, OurAirportsGivesIdentIcaoIataAndMetres) {
  const char list[] =
      "id,ident,type,name,latitude_deg,longitude_deg,elevation_ft,continent,iso_country,"
      "iso_region,municipality,scheduled_service,gps_code,iata_code,local_code\n"
      "2434,LSZH,large_airport,Zürich Airport,47.458056,8.548056,1417,EU,CH,CH-ZH,Zürich,yes,"
      "LSZH,ZRH,\n"
      "9999,CH-0001,heliport,Some Heliport,47.0,8.0,,EU,CH,CH-ZH,Zug,no,,,\n";
  ListedStations l = read(list, StationListFormat::kOurAirports);
  ASSERT_EQ(l.stations.size(), 2u);
  EXPECT_EQ(l.stations[0].station.ids,
            (std::vector<std::string>{"ourairports:LSZH", "icao:LSZH", "iata:ZRH"}));
  EXPECT_NEAR(l.stations[0].station.elevation, 431.9016, 1e-9);
  EXPECT_FALSE(l.stations[1].station.hasElevation());
}

TEST(StationInfoListsTest, GeoNamesGivesItsIdTheDemWhenNoElevationAndTheTimeZone) {
  ListedStations l = read(testsupport::kGeoNamesExcerpt, StationListFormat::kGeoNames);
  ASSERT_GE(l.stations.size(), 1u);
  const StationInfo& zurich = l.stations[0].station;
  EXPECT_EQ(zurich.ids, (std::vector<std::string>{"geonames:2657896"}));
  EXPECT_DOUBLE_EQ(zurich.elevation, 429.0);
  EXPECT_EQ(zurich.timeZone, "Europe/Zurich");
}

TEST(StationInfoListsTest, AnyCsvMapsStationColumns) {
  ListOptions options;
  options.columns = {{"name", "NAME"},      {"country-iso", "CC"}, {"latitude", "LAT"},
                     {"longitude", "LON"},  {"id.wmo", "WMO_ID"},  {"id.dwd", "DWD"},
                     {"elevation", "ELEV"}, {"timezone", "TZ"},    {"active_from", "SINCE"}};
  ListedStations l = read(
      "NAME,CC,LAT,LON,WMO_ID,DWD,ELEV,TZ,SINCE\nBerlin,DE,52.5,13.4,10384,00433,48,Europe/Berlin,"
      "19480101\n",
      StationListFormat::kCsv, options);
  ASSERT_EQ(l.stations.size(), 1u) << (l.errors.empty() ? "" : l.errors[0].message);
  const StationInfo& berlin = l.stations[0].station;
  EXPECT_EQ(berlin.ids, (std::vector<std::string>{"wmo:10384", "dwd:00433"}));
  EXPECT_DOUBLE_EQ(berlin.elevation, 48.0);
  EXPECT_EQ(berlin.timeZone, "Europe/Berlin");
  EXPECT_EQ(berlin.activeFrom, "1948-01-01");
}

}  // namespace
