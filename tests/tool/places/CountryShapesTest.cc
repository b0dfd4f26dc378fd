// Which country holds a position, and how far a position lies from a
// country, on the outlines of the project's data.
#include "tool/places/CountryShapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tool/Error.h"
#include "tool/places/OutlineFile.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

std::string dataFile(const std::string& name) {
  return std::string(METDB_SOURCE_DIR) + "/data/geo/" + name;
}

const CountryShapes& shapes50m() {
  static const CountryShapes shapes(readOutlines(dataFile("countries-50m.bin")));
  return shapes;
}

TEST(CountryShapesTest, PlacesOnLandAreInTheirCountry) {
  EXPECT_EQ(shapes50m().countryAt(47.37, 8.54), "CH");   // Zürich
  EXPECT_EQ(shapes50m().countryAt(69.01, 23.04), "NO");  // Kautokeino
  EXPECT_EQ(shapes50m().countryAt(4.94, -52.33), "GF");  // Cayenne, not France
  EXPECT_EQ(shapes50m().countryAt(78.22, 15.65), "SJ");  // Longyearbyen, not Norway
}

TEST(CountryShapesTest, TheSeaIsInNoCountry) { EXPECT_EQ(shapes50m().countryAt(0.0, 0.0), ""); }

TEST(CountryShapesTest, FijiLiesOnBothSidesOfThe180thMeridian) {
  EXPECT_EQ(shapes50m().countryAt(-17.7, 178.0), "FJ");
  EXPECT_EQ(shapes50m().countryAt(-16.8, -179.9), "FJ");
  EXPECT_EQ(shapes50m().countryAt(-16.8, 180.1), "FJ");  // the same place, written east
}

TEST(CountryShapesTest, ThePolesAreInAntarcticaAndNoCountry) {
  EXPECT_EQ(shapes50m().countryAt(-90.0, 0.0), "AQ");
  EXPECT_EQ(shapes50m().countryAt(-89.9995, 123.0), "AQ");
  EXPECT_EQ(shapes50m().countryAt(90.0, 0.0), "");
}

TEST(CountryShapesTest, PositionsOffTheGlobeAreInNoCountryAndHaveNoDistance) {
  EXPECT_EQ(shapes50m().countryAt(NAN, 8.54), "");
  EXPECT_EQ(shapes50m().countryAt(91.0, 8.54), "");
  EXPECT_THROW(shapes50m().distanceKm(91.0, 8.54, "CH"), Error);
}

TEST(CountryShapesTest, DistanceIsZeroInsideAndSmallJustOffTheCoast) {
  EXPECT_EQ(shapes50m().distanceKm(47.37, 8.54, "CH"), 0.0);
  // In the North Sea west of Bergen.
  ASSERT_EQ(shapes50m().countryAt(60.3, 4.5), "");
  double offshore = shapes50m().distanceKm(60.3, 4.5, "NO");
  EXPECT_GT(offshore, 10.0);
  EXPECT_LT(offshore, 40.0);
  // Tromsø's island is too small for the 1:50m outline, which passes
  // within some kilometres.
  EXPECT_LT(shapes50m().distanceKm(69.65, 18.96, "NO"), 5.0);
  // Zürich to Norway's southern tip, some 1,100 km.
  EXPECT_NEAR(shapes50m().distanceKm(47.37, 8.54, "NO"), 1100.0, 100.0);
}

TEST(CountryShapesTest, DistanceIsMeasuredAcrossThe180thMeridian) {
  // A square just west of the meridian; the position lies half a degree
  // east of it, not 359 degrees.
  Outline square{
      "XX", 0, "Square", {{false, {{179.0, 0.0}, {180.0, 0.0}, {180.0, 1.0}, {179.0, 1.0}}}}};
  CountryShapes shapes({square});
  const double radians = std::acos(-1.0) / 180.0;
  double halfDegree = 0.5 * std::cos(0.5 * radians) * radians * CountryShapes::kEarthRadiusKm;
  EXPECT_NEAR(shapes.distanceKm(0.5, -179.5, "XX"), halfDegree, 0.01);
}

TEST(CountryShapesTest, ACountryWithoutAnOutlineIsAnError) {
  EXPECT_FALSE(shapes50m().hasOutline("ZZ"));
  EXPECT_THROW(shapes50m().distanceKm(0.0, 0.0, "ZZ"), Error);
}

TEST(CountryShapesTest, EveryOutlineFileOfTheDataReads) {
  CountryShapes coarse(readOutlines(dataFile("countries-110m.bin")));
  EXPECT_EQ(coarse.countryAt(47.37, 8.54), "CH");
  for (const char* land : {"land-110m.bin", "land-50m.bin"}) {
    std::vector<Outline> outlines = readOutlines(dataFile(land));
    ASSERT_EQ(outlines.size(), 1u);
    EXPECT_EQ(outlines[0].name, "land");
    EXPECT_GT(outlines[0].rings.size(), 100u);
  }
}

TEST(CountryShapesTest, ATruncatedOutlineFileIsAnError) {
  testsupport::TempDir dir;
  std::string bytes = testsupport::readFile(dataFile("countries-110m.bin"));
  testsupport::writeFile(dir.file("cut.bin"), bytes.substr(0, bytes.size() / 2));
  try {
    readOutlines(dir.file("cut.bin"));
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("is damaged"), std::string::npos) << e.what();
  }
}

}  // namespace
