// export --format gpkg and create/import --from gpkg: the GeoPackage's
// required tables and spatial index, GDAL's validator and reader where
// they are installed, and a round trip back into a database.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "tests/cli/ToolRun.h"
#include "tests/support/Shell.h"

namespace {

using testsupport::haveProgram;
using testsupport::shell;
using tooltest::contains;
using tooltest::Outcome;
using tooltest::run;

class GeoPackageTest : public tooltest::SampleDatabaseTest {
 protected:
  void SetUp() override {
    SampleDatabaseTest::SetUp();
    Outcome o = tool({"export", "--format", "gpkg", "--output", "s.gpkg"});
    ASSERT_EQ(o.status, 0) << o.err;
  }
};

// The first column of the first row of sql on the file, as text.
std::string queryOne(const std::string& file, const std::string& sql) {
  sqlite3* db = nullptr;
  std::string out;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW && sqlite3_column_text(s, 0) != nullptr) {
      out = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    }
    sqlite3_finalize(s);
  }
  sqlite3_close(db);
  return out;
}

// GDAL's Python modules are Debian's: the system's interpreter has them.
const char kPython[] = "/usr/bin/python3";

TEST_F(GeoPackageTest, HoldsTheRequiredTablesAPointLayerAndItsSpatialIndex) {
  std::string gpkg = dir.file("s.gpkg");
  EXPECT_EQ(queryOne(gpkg, "PRAGMA application_id"), "1196444487");  // "GPKG"
  EXPECT_EQ(queryOne(gpkg, "SELECT count(*) FROM locations"), "9");
  EXPECT_EQ(queryOne(gpkg, "SELECT count(*) FROM rtree_locations_geom"), "9");
  EXPECT_EQ(queryOne(gpkg, "SELECT geometry_type_name || srs_id FROM gpkg_geometry_columns"),
            "POINT4326");
  EXPECT_EQ(queryOne(gpkg, "SELECT seriesA1 FROM locations WHERE name = 'Oslo'"), "-4.3");
  // The station file's columns, null where unknown.
  EXPECT_EQ(queryOne(gpkg, "SELECT timezone FROM locations WHERE name = 'Oslo'"), "Europe/Oslo");
  EXPECT_EQ(queryOne(gpkg, "SELECT count(*) FROM locations WHERE elevation IS NULL"), "9");
  // The R-tree keeps 32-bit bounds, rounded outwards.
  EXPECT_EQ(queryOne(gpkg,
                     "SELECT count(*) FROM rtree_locations_geom r JOIN locations l ON "
                     "l.fid = r.id WHERE l.name = 'Lima' AND minx <= -77.0428 AND maxx >= "
                     "-77.0428 AND miny <= -12.0464 AND maxy >= -12.0464"),
            "1");
  EXPECT_EQ(queryOne(gpkg, "SELECT count(*) FROM sqlite_master WHERE type = 'trigger'"), "6");
}

TEST_F(GeoPackageTest, PassesGdalsValidatorAndReader) {
  if (!haveProgram(std::string(kPython) + " -c 'import osgeo_utils.samples.validate_gpkg'")) {
    GTEST_SKIP() << "GDAL's validate_gpkg.py (python3-gdal) is not installed";
  }
  std::string out;
  EXPECT_EQ(
      shell(std::string(kPython) + " -m osgeo_utils.samples.validate_gpkg " + dir.file("s.gpkg"),
            &out),
      0)
      << out;
  if (!haveProgram("ogrinfo --version")) GTEST_SKIP() << "ogrinfo (gdal-bin) is not installed";
  out.clear();
  ASSERT_EQ(shell("ogrinfo -ro -al -so " + dir.file("s.gpkg"), &out), 0) << out;
  EXPECT_TRUE(contains(out, "Feature Count: 9")) << out;
  EXPECT_TRUE(contains(out, "Geometry: Point")) << out;
  EXPECT_TRUE(contains(out, "seriesE12: Real")) << out;
}

// A CSV export without its last column, the source, which a database
// read from the GeoPackage names as "gpkg line N".
std::string withoutSources(const std::string& csv) {
  std::string out;
  std::string::size_type start = 0;
  while (start < csv.size()) {
    std::string::size_type end = csv.find('\n', start);
    std::string line = csv.substr(start, end - start);
    out += line.substr(0, line.rfind(',')) + '\n';
    start = end == std::string::npos ? csv.size() : end + 1;
  }
  return out;
}

TEST_F(GeoPackageTest, ReadsBackIntoTheSameRecords) {
  Outcome created = run(dir, {"--db", "back.bmt", "create", "s.gpkg"});
  ASSERT_EQ(created.status, 0) << created.err;
  const std::string before = withoutSources(tool({"export"}).out);
  EXPECT_EQ(withoutSources(run(dir, {"--db", "back.bmt", "export"}).out), before);

  ASSERT_EQ(run(dir, {"--db", "back.bmt", "delete", "South America/Peru"}).status, 0);
  Outcome imported = run(dir, {"--db", "back.bmt", "import", "s.gpkg", "--from", "gpkg"});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(withoutSources(run(dir, {"--db", "back.bmt", "export"}).out), before);
}

// A GeoPackage that GDAL wrote (its own layer name, an envelope in each
// geometry's header) reads as the tool's own does.
TEST_F(GeoPackageTest, ReadsAGeoPackageThatGdalWrote) {
  if (!haveProgram("ogr2ogr --version")) GTEST_SKIP() << "ogr2ogr (gdal-bin) is not installed";
  ASSERT_EQ(tool({"export", "--format", "geojson", "--output", "s.geojson"}).status, 0);
  std::string out;
  ASSERT_EQ(shell("ogr2ogr -f GPKG " + dir.file("gdal.gpkg") + " " + dir.file("s.geojson"), &out),
            0)
      << out;
  Outcome created = run(dir, {"--db", "gdal.bmt", "create", "gdal.gpkg"});
  ASSERT_EQ(created.status, 0) << created.err;
  Outcome lima = run(dir, {"--db", "gdal.bmt", "export", "--name", "Lima"});
  EXPECT_TRUE(contains(lima.out, "Lima,Lima,Peru,South America,1,-12.0464,-77.0428")) << lima.out;
  EXPECT_TRUE(contains(created.out, "9 locations")) << created.out;
}

TEST_F(GeoPackageTest, NeedsAnOutputFile) {
  Outcome o = tool({"export", "--format", "gpkg"});
  EXPECT_NE(o.status, 0);
  EXPECT_TRUE(contains(o.err, "--output")) << o.err;
}

TEST_F(GeoPackageTest, RefusesAFileThatIsNoGeoPackage) {
  testsupport::writeFile(dir.file("bad.gpkg"), "SQLite format 3");
  Outcome o = run(dir, {"--db", "bad.bmt", "create", "bad.gpkg", "--from", "gpkg"});
  EXPECT_NE(o.status, 0);
  EXPECT_TRUE(contains(o.err, "GeoPackage")) << o.err;
}

}  // namespace
