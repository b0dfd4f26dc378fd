// The country table of the project's data: lookups by each kind of code
// and by name, and how unknown codes and a damaged table fail.
#include "tool/places/CountryCodes.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/TempDir.h"
#include "tool/Error.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

const CountryCodes& table() {
  static const CountryCodes codes =
      CountryCodes::read(std::string(METDB_SOURCE_DIR) + "/data/geo/countries.tsv");
  return codes;
}

// NOAA's station lists name countries by FIPS 10-4 codes, which differ
// from ISO's for many countries.
TEST(CountryCodesTest, FipsCodesGiveTheIsoCountry) {
  const Country& swiss = table().get(CountryCodes::Kind::kFips, "SZ");
  EXPECT_EQ(swiss.iso2, "CH");
  EXPECT_EQ(swiss.name, "Switzerland");
  EXPECT_EQ(swiss.continent, "Europe");
  EXPECT_EQ(table().get(CountryCodes::Kind::kFips, "GM").iso2, "DE");
  EXPECT_EQ(table().get(CountryCodes::Kind::kFips, "UK").iso2, "GB");
  EXPECT_EQ(table().get(CountryCodes::Kind::kFips, "VM").iso2, "VN");
  // A code FIPS gives a part of a country.
  EXPECT_EQ(table().get(CountryCodes::Kind::kFips, "GZ").iso2, "PS");
}

TEST(CountryCodesTest, IsoCodesAndNamesGiveTheCountry) {
  using Kind = CountryCodes::Kind;
  EXPECT_EQ(table().get(Kind::kIso2, "DE").name, "Germany");
  EXPECT_EQ(table().get(Kind::kIso2, "de").name, "Germany");
  EXPECT_EQ(table().get(Kind::kIso3, "DEU").name, "Germany");
  EXPECT_EQ(table().get(Kind::kNumeric, "276").name, "Germany");
  EXPECT_EQ(table().get(Kind::kNumeric, "36").iso2, "AU");
  EXPECT_EQ(table().get(Kind::kName, "GERMANY").iso2, "DE");
  EXPECT_EQ(table().get(Kind::kName, "Federal Republic of Germany").iso2, "DE");
  EXPECT_EQ(table().get(Kind::kName, "cote d'ivoire").iso2, "CI");
  EXPECT_EQ(table().get(Kind::kName, "Turkey").iso2, "TR");
}

TEST(CountryCodesTest, AnUnknownCodeIsAnError) {
  EXPECT_EQ(table().find(CountryCodes::Kind::kFips, "QQ"), nullptr);
  try {
    table().get(CountryCodes::Kind::kFips, "QQ");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "No country has the FIPS 10-4 code \"QQ\".");
  }
  EXPECT_THROW(table().get(CountryCodes::Kind::kNumeric, "12a"), Error);
}

TEST(CountryCodesTest, ADamagedTableNamesItsLine) {
  testsupport::TempDir dir;
  testsupport::writeFile(dir.file("countries.tsv"),
                         "# comment\n"
                         "iso2\tiso3\tnumeric\tname\tcontinent\tfips\taliases\n"
                         "CH\tCHE\t756\tSwitzerland\tEurope\tSZ\t\n"
                         "DE\tDEU\t276\tGermany\tAtlantis\tGM\t\n");
  try {
    CountryCodes::read(dir.file("countries.tsv"));
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("at line 4: the continent is none of the project's."),
              std::string::npos)
        << e.what();
  }
}

}  // namespace
