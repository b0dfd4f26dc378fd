// The time zone of a position, the countries of a zone and tzdata's old
// names; agreement with GeoNames' own zones for its cities.
#include "tool/places/TimeZones.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tool/Error.h"
#include "tool/places/LocationTimeZone.h"
#include "tool/text/Text.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

const std::string kData = std::string(METDB_SOURCE_DIR) + "/data/tz";

const TimeZones& zones() {
  static const TimeZones z = TimeZones::read(kData);
  return z;
}

TEST(TimeZonesTest, PositionsGiveTheirZone) {
  EXPECT_EQ(zones().zoneAt(47.3769, 8.5417), "Europe/Zurich");
  EXPECT_EQ(zones().zoneAt(40.7128, -74.0060), "America/New_York");
  EXPECT_EQ(zones().zoneAt(-33.8688, 151.2093), "Australia/Sydney");
  EXPECT_EQ(zones().zoneAt(-51.6938, -57.8570), "Atlantic/Stanley");
  // At sea, the nautical zones; at the edges of the frame, a zone still.
  EXPECT_EQ(zones().zoneAt(-45.0, -120.0), "Etc/GMT+8");
  EXPECT_EQ(zones().zoneAt(90.0, 0.0), "Etc/GMT");
  EXPECT_FALSE(zones().zoneAt(-90.0, 180.0).empty());
  EXPECT_EQ(zones().zoneAt(90.5, 0.0), "");
  EXPECT_EQ(zones().zoneAt(0.0, -180.1), "");
  EXPECT_EQ(zones().zoneAt(std::nan(""), 0.0), "");
  // The data folder of a build tree is the source's data/.
  EXPECT_EQ(timeZoneAt(47.3769, 8.5417), "Europe/Zurich");
}

TEST(TimeZonesTest, ZonesBelongToTheirCountriesAndOldNamesToTheirTargets) {
  EXPECT_TRUE(isTimeZoneOfCountry("Europe/Zurich", "CH"));
  EXPECT_TRUE(zones().isOfCountry("Europe/Zurich", "li"));  // zone1970.tab shares it
  EXPECT_TRUE(zones().isOfCountry("Asia/Calcutta", "IN"));  // a link
  EXPECT_FALSE(zones().isOfCountry("Europe/Zurich", "FR"));
  EXPECT_FALSE(zones().isOfCountry("Etc/GMT+10", "US"));
  EXPECT_FALSE(zones().isOfCountry("Mars/Olympus_Mons", "US"));
  EXPECT_EQ(canonicalTimeZone("Asia/Calcutta"), "Asia/Kolkata");
  EXPECT_EQ(zones().canonical("Europe/Zurich"), "Europe/Zurich");
  EXPECT_EQ(zones().canonical("Mars/Olympus_Mons"), "");
}

// GeoNames' cities of 15,000 people or more give each city's zone (column
// 18); the grid agrees with nearly all, a link counting as its target.
TEST(TimeZonesTest, AgreesWithGeoNamesCities) {
  const char* path = "/usr/share/libtimezonemap/ui/cities15000.txt";
  std::ifstream in(path);
  if (!in) GTEST_SKIP() << path << " is missing (Debian's libtimezonemap-data)";
  long cities = 0, same = 0, equivalent = 0;
  std::map<std::string, long> differences;
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> f = text::split(line, '\t');
    if (f.size() < 18 || f[17].empty()) continue;
    ++cities;
    const std::string& found = zones().zoneAt(std::stod(f[4]), std::stod(f[5]));
    if (found == f[17]) {
      ++same;
    } else if (!found.empty() && zones().canonical(found) == zones().canonical(f[17]) &&
               !zones().canonical(found).empty()) {
      ++equivalent;
    } else {
      ++differences[f[17] + " -> " + found];
    }
  }
  ASSERT_GT(cities, 20000);
  double agreement = static_cast<double>(same + equivalent) / static_cast<double>(cities);
  std::cout << cities << " cities: " << same << " the same zone, " << equivalent
            << " a link to it, " << cities - same - equivalent << " another (" << 100.0 * agreement
            << "% agree)\n";
  EXPECT_GE(agreement, 0.97);
}

TEST(TimeZonesTest, ADamagedGridFailsNamingTheFile) {
  testsupport::TempDir dir;
  std::string grid = testsupport::readFile(kData + "/timezones.bin");
  testsupport::writeFile(dir.file("timezones.bin"), grid.substr(0, grid.size() / 2));
  testsupport::writeFile(dir.file("zones.tsv"), testsupport::readFile(kData + "/zones.tsv"));
  try {
    TimeZones::read(dir.path());
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "The time-zone grid \"" + dir.file("timezones.bin") +
                                         "\" is damaged: it ends early.");
  }
}

}  // namespace

TEST(TimeZonesTest, CountriesHaveTheirZonesAndZonesTheirCountries) {
  EXPECT_EQ(zones().zonesOf("ch"), std::vector<std::string>{"Europe/Zurich"});
  EXPECT_EQ(zones().zonesOf("PT"),
            (std::vector<std::string>{"Atlantic/Azores", "Atlantic/Madeira", "Europe/Lisbon"}));
  EXPECT_TRUE(zones().zonesOf("XK").empty());  // Kosovo: no zone of its own in tzdata
  EXPECT_EQ(zones().countriesOf("Asia/Calcutta"), std::vector<std::string>{"IN"});
  EXPECT_TRUE(zones().countriesOf("Etc/GMT+10").empty());
}

// A location's zone is its position's, held against its country.
TEST(TimeZonesTest, ALocationGetsItsPositionsZoneUnlessItContradictsTheCountry) {
  LocationTimeZone zone;
  EXPECT_EQ(zone.of(47.3769, 8.5417, "Switzerland"), "Europe/Zurich");
  EXPECT_EQ(zone.of(47.3769, 8.5417, "Atlantis"), "Europe/Zurich");  // a country of nobody's
  EXPECT_EQ(zone.of(0.0, 0.0, "Ghana"), "");                         // a lost position
  EXPECT_EQ(zone.of(91.0, 0.0, "Norway"), "");
  // Munich for a Swiss location: the country's one zone.
  EXPECT_EQ(zone.of(48.137, 11.575, "Switzerland"), "Europe/Zurich");
  // Where the boundaries draw Spain's zone for a town of Portugal, which has
  // three: none rather than a wrong one.
  EXPECT_EQ(zone.of(42.07892, -8.48076, "Portugal"), "");
  // At sea, off a country of many zones: the nautical zone.
  EXPECT_EQ(zone.of(-45.0, -120.0, "United States"), "Etc/GMT+8");
}
