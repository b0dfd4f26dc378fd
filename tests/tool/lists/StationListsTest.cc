// The published station lists: each format read from a short excerpt
// written after its published description, detected from its start, and
// mapped onto records.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/support/StationListExcerpts.h"
#include "tool/lists/Angles.h"
#include "tool/lists/StationListFormat.h"
#include "tool/lists/StationMapping.h"
#include "tool/record/Fields.h"
#include "tool/record/RecordPosition.h"

using namespace metdb;  // NOLINT: the tool's library under test

namespace {

using testsupport::kAirportsExcerpt;
using testsupport::kGeoJsonExcerpt;
using testsupport::kGeoNamesExcerpt;
using testsupport::kGhcndExcerpt;
using testsupport::kIsdExcerpt;

ListedStations read(const char* text, StationListFormat format, ListOptions options = {}) {
  std::istringstream in(text);
  options.skipBadRows = true;
  return readStationList(in, format, options);
}

TEST(StationListsTest, EachFormatIsDetectedFromItsStart) {
  EXPECT_EQ(detectStationListFormat(kGhcndExcerpt), StationListFormat::kGhcndStations);
  EXPECT_EQ(detectStationListFormat(kIsdExcerpt), StationListFormat::kIsdHistory);
  EXPECT_EQ(detectStationListFormat(kAirportsExcerpt), StationListFormat::kOurAirports);
  EXPECT_EQ(detectStationListFormat(kGeoNamesExcerpt), StationListFormat::kGeoNames);
  EXPECT_EQ(detectStationListFormat(kGeoJsonExcerpt), StationListFormat::kGeoJson);
  EXPECT_EQ(detectStationListFormat("name,state,country,continent,latitude,longitude\n"),
            StationListFormat::kCsv);
}

TEST(StationListsTest, GhcndGivesGhcnCountriesNamedStatesAndLevelsByNetwork) {
  ListOptions options;
  options.ghcnState = [](const std::string& country, const std::string& state) {
    return country == "US" && state == "NY" ? "New York" : "";
  };
  ListedStations l = read(kGhcndExcerpt, StationListFormat::kGhcndStations, options);
  ASSERT_EQ(l.stations.size(), 4u);
  EXPECT_EQ(l.stations[0].name, "ZURICH/KLOTEN");
  EXPECT_EQ(l.stations[0].country, "SZ");
  EXPECT_EQ(l.stations[0].countryCode, CountryCode::kGhcn);
  EXPECT_DOUBLE_EQ(l.stations[0].latitude, 47.48);
  const int levels[] = {1, 2, 3, 4};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(l.stations[static_cast<std::size_t>(i)].level, levels[i]);
  EXPECT_EQ(l.stations[1].state, "New York");
  EXPECT_EQ(l.stations[3].state, "NS");  // no name in that country: the code stands
  EXPECT_DOUBLE_EQ(l.stations[3].longitude, 151.205);
}

TEST(StationListsTest, IsdReportsARowWithoutAPositionWithItsLine) {
  ListedStations l = read(kIsdExcerpt, StationListFormat::kIsdHistory);
  ASSERT_EQ(l.stations.size(), 2u);
  EXPECT_EQ(l.stations[1].name, "JAN MAYEN(NOR-NAVY)");
  EXPECT_DOUBLE_EQ(l.stations[1].longitude, -8.667);
  EXPECT_EQ(l.stations[0].level, 1);
  ASSERT_EQ(l.errors.size(), 1u);
  EXPECT_EQ(l.errors[0].line, 4);
  EXPECT_EQ(l.errors[0].column, "LAT");
}

TEST(StationListsTest, AirportsKeepTheChosenTypesWithLevelsByType) {
  ListedStations all = read(kAirportsExcerpt, StationListFormat::kOurAirports);
  ASSERT_EQ(all.stations.size(), 3u);  // not the closed one
  EXPECT_EQ(all.stations[0].level, 1);
  EXPECT_EQ(all.stations[1].level, 2);
  EXPECT_EQ(all.stations[2].level, 4);
  EXPECT_EQ(all.stations[0].state, "ZH");
  ListOptions large;
  large.types = {"large"};
  EXPECT_EQ(read(kAirportsExcerpt, StationListFormat::kOurAirports, large).stations.size(), 1u);
}

TEST(StationListsTest, GeoNamesNamesDivisionsAndRanksByPopulation) {
  ListOptions o;
  o.division = [](const std::string& country, const std::string& code) {
    return country == "CH" && code == "25" ? std::string("Zurich") : std::string();
  };
  ListedStations l = read(kGeoNamesExcerpt, StationListFormat::kGeoNames, o);
  ASSERT_EQ(l.stations.size(), 2u);
  EXPECT_EQ(l.stations[0].name, "Zürich");
  EXPECT_EQ(l.stations[0].state, "Zurich");
  EXPECT_EQ(l.stations[0].level, 2);
  EXPECT_EQ(l.stations[1].state, "54");
  EXPECT_EQ(l.stations[1].level, 3);
}

TEST(StationListsTest, GeoJsonReadsTheToolsOwnPropertiesAndMapsOntoRecords) {
  ListedStations l = read(kGeoJsonExcerpt, StationListFormat::kGeoJson);
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
  ListedStations l = read(kGhcndExcerpt, StationListFormat::kGhcndStations);
  CountryResolver fips = [](const std::string& code, CountryCode kind, CountryNaming* n) {
    if (kind != CountryCode::kGhcn || code != "SZ") return false;
    *n = {"Switzerland", "Europe"};
    return true;
  };
  StationCsvResult r = mapStations(l, fips, true);
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_STREQ(r.rows[0].record.country, "Switzerland");
  EXPECT_STREQ(r.rows[0].record.name, "ZURICH/KLOTEN");
  ASSERT_EQ(r.errors.size(), 3u);
  EXPECT_EQ(r.errors[0].message, "\"US\" is no GHCN-Daily or FIPS 10-4 country code");
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
