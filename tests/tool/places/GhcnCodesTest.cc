// GHCN-Daily's own code tables: every country code names a country of the
// project's table, and state codes are named only in their countries.
#include "tool/places/GhcnCodes.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/TempDir.h"
#include "tool/Error.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

const std::string kGeo = std::string(METDB_SOURCE_DIR) + "/data/geo/";

const CountryCodes& countries() {
  static const CountryCodes codes = CountryCodes::read(kGeo + "countries.tsv");
  return codes;
}

const GhcnCodes& ghcn() {
  static const GhcnCodes codes =
      GhcnCodes::read(kGeo + "ghcnd-countries.tsv", kGeo + "ghcnd-states.tsv", countries());
  return codes;
}

TEST(GhcnCodesTest, EveryCountryCodeOfGhcnNamesACountry) {
  ASSERT_EQ(ghcn().countryCodes().size(), 219u);
  for (const std::string& code : ghcn().countryCodes()) {
    const Country* country = ghcn().country(code);
    ASSERT_NE(country, nullptr) << code;
    EXPECT_FALSE(country->name.empty()) << code;
    EXPECT_FALSE(country->continent.empty()) << code;
  }
  // The codes that FIPS 10-4 tables older than NOAA's give otherwise.
  EXPECT_EQ(ghcn().country("AE")->name, "United Arab Emirates");
  EXPECT_EQ(ghcn().country("FK")->continent, "South America");
  EXPECT_EQ(ghcn().country("vm")->iso2, "VN");
  // Territories and lands of no state are filed under ISO's codes.
  EXPECT_EQ(ghcn().country("AY")->name, "Antarctica");
  EXPECT_EQ(ghcn().country("JQ")->iso2, "UM");
  EXPECT_EQ(ghcn().country("XX"), nullptr);
}

TEST(GhcnCodesTest, StatesAreNamedInTheirCountriesOnly) {
  EXPECT_EQ(ghcn().stateName("NY", "US"), "New York");
  EXPECT_EQ(ghcn().stateName("NS", "CA"), "Nova Scotia");
  EXPECT_EQ(ghcn().stateName("PR", "PR"), "Puerto Rico");
  EXPECT_EQ(ghcn().stateName("NS", "AU"), "");
  EXPECT_EQ(ghcn().stateName("ZZ", "US"), "");
}

TEST(GhcnCodesTest, ACodeOfNoCountryFailsNamingTheLine) {
  testsupport::TempDir dir;
  testsupport::writeFile(dir.file("c.tsv"), "# comment\nghcn\tiso2\tghcn_name\nSZ\tQQ\tNowhere\n");
  testsupport::writeFile(dir.file("s.tsv"), "ghcn\tcountries\tname\n");
  try {
    GhcnCodes::read(dir.file("c.tsv"), dir.file("s.tsv"), countries());
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("c.tsv\" is damaged at line 3: the ISO code \"QQ\""),
              std::string::npos)
        << e.what();
  }
}

}  // namespace
