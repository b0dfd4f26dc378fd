// The published station lists: each format read from a short excerpt
// written after its published description, detected from its start, and
// mapped onto records.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tool/lists/Angles.h"
#include "tool/lists/StationListFormat.h"
#include "tool/lists/StationMapping.h"
#include "tool/record/Fields.h"
#include "tool/record/RecordPosition.h"

using namespace metdb;  // NOLINT: the tool's library under test

namespace {

const char kGhcnd[] =
    "SZ000006717  47.4800    8.5331  426.0    ZURICH/KLOTEN                  GSN     06670\n"
    "USW00094728  40.7789  -73.9692   39.6 NY NEW YORK CNTRL PK TWR              HCN 72506\n"
    "NOE00100686  69.6500   18.9333  100.0    TROMSO                                 01026\n"
    "ASN00066062 -33.8607  151.2050   39.0 NS SYDNEY (OBSERVATORY HILL)                   \n";

const char kIsd[] =
    "\"USAF\",\"WBAN\",\"STATION NAME\",\"CTRY\",\"STATE\",\"ICAO\",\"LAT\",\"LON\","
    "\"ELEV(M)\",\"BEGIN\",\"END\"\n"
    "\"066700\",\"99999\",\"ZURICH/KLOTEN\",\"SZ\",\"\",\"LSZH\",\"+47.480\",\"+008.536\","
    "\"+0432.0\",\"19310101\",\"20251231\"\n"
    "\"010010\",\"99999\",\"JAN MAYEN(NOR-NAVY)\",\"NO\",\"\",\"ENJA\",\"+70.933\",\"-008.667\","
    "\"+0009.0\",\"19310101\",\"20251231\"\n"
    "\"999999\",\"00001\",\"NO POSITION\",\"US\",\"CA\",\"\",\"\",\"\",\"\",\"20010101\","
    "\"20011231\"\n";

const char kAirports[] =
    "id,ident,type,name,latitude_deg,longitude_deg,elevation_ft,continent,iso_country,"
    "iso_region,municipality\n"
    "2434,LSZH,large_airport,Zürich Airport,47.458056,8.548056,1417,EU,CH,CH-ZH,Zürich\n"
    "2435,LSZR,medium_airport,St. Gallen Altenrhein Airport,47.4850,9.5608,1306,EU,CH,CH-SG,"
    "Altenrhein\n"
    "9999,CH-0001,heliport,Some Heliport,47.0,8.0,1500,EU,CH,CH-ZH,Zug\n"
    "9998,XXCL,closed,Closed Field,46.0,7.0,1000,EU,CH,CH-VS,Sion\n";

const char kGeoNames[] =
    "2657896\tZürich\tZurich\tZurich,Zürich\t47.36667\t8.55\tP\tPPLA\tCH\t\t25\t112\t261"
    "\t\t341730\t\t429\tEurope/Zurich\t2024-01-01\n"
    "3133880\tTromsø\tTromso\t\t69.6489\t18.95508\tP\tPPLA2\tNO\t\t54\t5401\t\t\t41915\t\t28"
    "\tEurope/Oslo\t2024-01-01\n";

const char kGeoJson[] =
    "{\"type\":\"FeatureCollection\",\"features\":["
    "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[8.54,47.37]},"
    "\"properties\":{\"name\":\"Zürich\",\"state\":\"ZH\",\"country\":\"Switzerland\","
    "\"continent\":\"Europe\",\"level\":2,\"auxValue\":7,\"seriesA1\":1.5}},"
    "{\"type\":\"Feature\",\"geometry\":null,\"properties\":{\"name\":\"Nowhere\"}}]}";

ListedStations read(const char* text, StationListFormat format, ListOptions options = {}) {
  std::istringstream in(text);
  options.skipBadRows = true;
  return readStationList(in, format, options);
}

TEST(StationListsTest, EachFormatIsDetectedFromItsStart) {
  EXPECT_EQ(detectStationListFormat(kGhcnd), StationListFormat::kGhcndStations);
  EXPECT_EQ(detectStationListFormat(kIsd), StationListFormat::kIsdHistory);
  EXPECT_EQ(detectStationListFormat(kAirports), StationListFormat::kOurAirports);
  EXPECT_EQ(detectStationListFormat(kGeoNames), StationListFormat::kGeoNames);
  EXPECT_EQ(detectStationListFormat(kGeoJson), StationListFormat::kGeoJson);
  EXPECT_EQ(detectStationListFormat("name,state,country,continent,latitude,longitude\n"),
            StationListFormat::kCsv);
}

TEST(StationListsTest, GhcndGivesFipsCountriesAndLevelsByNetwork) {
  ListedStations l = read(kGhcnd, StationListFormat::kGhcndStations);
  ASSERT_EQ(l.stations.size(), 4u);
  EXPECT_EQ(l.stations[0].name, "ZURICH/KLOTEN");
  EXPECT_EQ(l.stations[0].country, "SZ");
  EXPECT_EQ(l.stations[0].countryCode, CountryCode::kFips);
  EXPECT_DOUBLE_EQ(l.stations[0].latitude, 47.48);
  const int levels[] = {1, 2, 3, 4};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(l.stations[static_cast<std::size_t>(i)].level, levels[i]);
  EXPECT_EQ(l.stations[1].state, "NY");
  EXPECT_DOUBLE_EQ(l.stations[3].longitude, 151.205);
}

TEST(StationListsTest, IsdReportsARowWithoutAPositionWithItsLine) {
  ListedStations l = read(kIsd, StationListFormat::kIsdHistory);
  ASSERT_EQ(l.stations.size(), 2u);
  EXPECT_EQ(l.stations[1].name, "JAN MAYEN(NOR-NAVY)");
  EXPECT_DOUBLE_EQ(l.stations[1].longitude, -8.667);
  EXPECT_EQ(l.stations[0].level, 1);
  ASSERT_EQ(l.errors.size(), 1u);
  EXPECT_EQ(l.errors[0].line, 4);
  EXPECT_EQ(l.errors[0].column, "LAT");
}

TEST(StationListsTest, AirportsKeepTheChosenTypesWithLevelsByType) {
  ListedStations all = read(kAirports, StationListFormat::kOurAirports);
  ASSERT_EQ(all.stations.size(), 3u);  // not the closed one
  EXPECT_EQ(all.stations[0].level, 1);
  EXPECT_EQ(all.stations[1].level, 2);
  EXPECT_EQ(all.stations[2].level, 4);
  EXPECT_EQ(all.stations[0].state, "ZH");
  ListOptions large;
  large.types = {"large"};
  EXPECT_EQ(read(kAirports, StationListFormat::kOurAirports, large).stations.size(), 1u);
}

TEST(StationListsTest, GeoNamesNamesDivisionsAndRanksByPopulation) {
  ListOptions o;
  o.division = [](const std::string& country, const std::string& code) {
    return country == "CH" && code == "25" ? std::string("Zurich") : std::string();
  };
  ListedStations l = read(kGeoNames, StationListFormat::kGeoNames, o);
  ASSERT_EQ(l.stations.size(), 2u);
  EXPECT_EQ(l.stations[0].name, "Zürich");
  EXPECT_EQ(l.stations[0].state, "Zurich");
  EXPECT_EQ(l.stations[0].level, 2);
  EXPECT_EQ(l.stations[1].state, "54");
  EXPECT_EQ(l.stations[1].level, 3);
}

TEST(StationListsTest, GeoJsonReadsTheToolsOwnPropertiesAndMapsOntoRecords) {
  ListedStations l = read(kGeoJson, StationListFormat::kGeoJson);
  ASSERT_EQ(l.stations.size(), 1u);
  ASSERT_EQ(l.errors.size(), 1u);
  EXPECT_EQ(l.errors[0].line, 2);
  CountryResolver none = [](const std::string&, CountryCode, CountryNaming*) { return false; };
  StationCsvResult r = mapStations(l, none, true);
  ASSERT_EQ(r.rows.size(), 1u);
  const LocationData& record = r.rows[0].record;
  EXPECT_STREQ(record.continent, "Europe");
  EXPECT_EQ(record.level, 2);
  EXPECT_FLOAT_EQ(RecordPosition(record).longitude, 8.54f);
  int element = -1;
  const Field* seriesA = fieldOfColumn("seriesA1", &element);
  EXPECT_EQ(fieldValueText(record, *seriesA, element), "1.5");
}

TEST(StationListsTest, GeoJsonTypesOfOtherKindsThanTextAreFaultsOfTheDocumentOrFeature) {
  ListedStations l;
  EXPECT_NO_THROW(l = read("{\"type\":-73.9}", StationListFormat::kGeoJson));
  EXPECT_TRUE(l.fatal);
  ASSERT_EQ(l.errors.size(), 1u);
  EXPECT_EQ(l.errors[0].line, 0);
  EXPECT_NO_THROW(l = read("{\"type\":\"FeatureCollection\",\"features\":["
                           "{\"geometry\":{\"type\":null,\"coordinates\":[8.54,47.37]},"
                           "\"properties\":{\"name\":\"Zürich\",\"country\":\"CH\"}}]}",
                           StationListFormat::kGeoJson));
  EXPECT_FALSE(l.fatal);
  EXPECT_TRUE(l.stations.empty());
  ASSERT_EQ(l.errors.size(), 1u);
  EXPECT_EQ(l.errors[0].line, 1);
  EXPECT_EQ(l.errors[0].column, "geometry");
}

TEST(StationListsTest, GeoJsonNestedDeeperThanTheStackCanCopyIsRefusedWhole) {
  const std::size_t depth = 100000;
  std::string deep =
      "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\","
      "\"geometry\":{\"type\":\"Point\",\"coordinates\":[8.54,47.37]},"
      "\"properties\":{\"name\":\"Zürich\",\"country\":\"CH\",\"auxValue\":" +
      std::string(depth, '[') + std::string(depth, ']') + "}}]}";
  ListedStations l = read(deep.c_str(), StationListFormat::kGeoJson);
  EXPECT_TRUE(l.fatal);
  EXPECT_TRUE(l.stations.empty());
  ASSERT_EQ(l.errors.size(), 1u);
  EXPECT_EQ(l.errors[0].line, 0);
  EXPECT_EQ(l.errors[0].message, "the JSON nests deeper than 256 levels");
}

TEST(StationListsTest, MappingNamesCountriesByCodeAndRefusesUnknownCodes) {
  ListedStations l = read(kGhcnd, StationListFormat::kGhcndStations);
  CountryResolver fips = [](const std::string& code, CountryCode kind, CountryNaming* n) {
    if (kind != CountryCode::kFips || code != "SZ") return false;
    *n = {"Switzerland", "Europe"};
    return true;
  };
  StationCsvResult r = mapStations(l, fips, true);
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_STREQ(r.rows[0].record.country, "Switzerland");
  EXPECT_STREQ(r.rows[0].record.name, "ZURICH/KLOTEN");
  ASSERT_EQ(r.errors.size(), 3u);
  EXPECT_EQ(r.errors[0].message, "\"US\" is no FIPS 10-4 country code");
  // Names longer than their field are cut, one warning per field.
  EXPECT_EQ(r.warnings.size(), 0u);
  l.stations[0].name = "ZURICH/KLOTEN AIRPORT METEO";
  l.stations.resize(1);
  r = mapStations(l, fips, false);
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_EQ(r.warnings[0].column, "name");
}

TEST(StationListsTest, AnglesInDegreesMinutesAndSeconds) {
  double d = 0;
  EXPECT_EQ(readAngle("47°22'37\"N", true, &d), "");
  EXPECT_NEAR(d, 47.376944, 1e-6);
  EXPECT_EQ(readAngle("8d32'W", false, &d), "");
  EXPECT_NEAR(d, -8.533333, 1e-6);
  EXPECT_NE(readAngle("8d32'E", true, &d), "");
  EXPECT_NE(readAngle("91", true, &d), "");
  EXPECT_NE(readAngle("north", true, &d), "");
}

}  // namespace
