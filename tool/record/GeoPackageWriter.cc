#include "tool/record/GeoPackageWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "tool/Error.h"
#include "tool/record/Fields.h"
#include "tool/record/GeoPackageGeometry.h"
#include "tool/record/RecordPosition.h"
#include "tool/record/SqliteFile.h"
#include "tool/record/StationFields.h"

namespace metdb {

const char* const kGeoPackageLayer = "locations";

namespace {

constexpr int kWgs84 = 4326;

const char* const kTables = R"SQL(
PRAGMA application_id = 1196444487;
PRAGMA user_version = 10300;
CREATE TABLE gpkg_spatial_ref_sys (
  srs_name TEXT NOT NULL, srs_id INTEGER PRIMARY KEY, organization TEXT NOT NULL,
  organization_coordsys_id INTEGER NOT NULL, definition TEXT NOT NULL, description TEXT);
INSERT INTO gpkg_spatial_ref_sys VALUES
  ('Undefined cartesian SRS', -1, 'NONE', -1, 'undefined', 'undefined cartesian coordinate reference system'),
  ('Undefined geographic SRS', 0, 'NONE', 0, 'undefined', 'undefined geographic coordinate reference system'),
  ('WGS 84 geodetic', 4326, 'EPSG', 4326,
   'GEOGCS["WGS 84",DATUM["WGS_1984",SPHEROID["WGS 84",6378137,298.257223563,AUTHORITY["EPSG","7030"]],AUTHORITY["EPSG","6326"]],PRIMEM["Greenwich",0,AUTHORITY["EPSG","8901"]],UNIT["degree",0.0174532925199433,AUTHORITY["EPSG","9122"]],AXIS["Latitude",NORTH],AXIS["Longitude",EAST],AUTHORITY["EPSG","4326"]]',
   'longitude/latitude coordinates in decimal degrees on the WGS 84 spheroid');
CREATE TABLE gpkg_contents (
  table_name TEXT NOT NULL PRIMARY KEY, data_type TEXT NOT NULL, identifier TEXT UNIQUE,
  description TEXT DEFAULT '',
  last_change DATETIME NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%fZ','now')),
  min_x DOUBLE, min_y DOUBLE, max_x DOUBLE, max_y DOUBLE, srs_id INTEGER,
  CONSTRAINT fk_gc_r_srs_id FOREIGN KEY (srs_id) REFERENCES gpkg_spatial_ref_sys(srs_id));
CREATE TABLE gpkg_geometry_columns (
  table_name TEXT NOT NULL, column_name TEXT NOT NULL, geometry_type_name TEXT NOT NULL,
  srs_id INTEGER NOT NULL, z TINYINT NOT NULL, m TINYINT NOT NULL,
  CONSTRAINT pk_geom_cols PRIMARY KEY (table_name, column_name),
  CONSTRAINT uk_gc_table_name UNIQUE (table_name),
  CONSTRAINT fk_gc_tn FOREIGN KEY (table_name) REFERENCES gpkg_contents(table_name),
  CONSTRAINT fk_gc_srs FOREIGN KEY (srs_id) REFERENCES gpkg_spatial_ref_sys (srs_id));
CREATE TABLE gpkg_extensions (
  table_name TEXT, column_name TEXT, extension_name TEXT NOT NULL, definition TEXT NOT NULL,
  scope TEXT NOT NULL, CONSTRAINT ge_tce UNIQUE (table_name, column_name, extension_name));
INSERT INTO gpkg_contents (table_name, data_type, identifier, description, srs_id)
  VALUES ('locations', 'features', 'locations', 'metdb locations', 4326);
INSERT INTO gpkg_geometry_columns VALUES ('locations', 'geom', 'POINT', 4326, 0, 0);
INSERT INTO gpkg_extensions VALUES ('locations', 'geom', 'gpkg_rtree_index',
  'http://www.geopackage.org/spec120/#extension_rtree', 'write-only');
CREATE VIRTUAL TABLE rtree_locations_geom USING rtree(id, minx, maxx, miny, maxy);
)SQL";

// The R-tree's triggers, which keep it up to date when GIS software edits
// the layer; created after the rows are in, since the ST_ functions they
// call are the editing software's.
const char* const kTriggers = R"SQL(
CREATE TRIGGER rtree_locations_geom_insert AFTER INSERT ON locations
WHEN (new.geom NOT NULL AND NOT ST_IsEmpty(NEW.geom))
BEGIN
  INSERT OR REPLACE INTO rtree_locations_geom VALUES (NEW.fid,
    ST_MinX(NEW.geom), ST_MaxX(NEW.geom), ST_MinY(NEW.geom), ST_MaxY(NEW.geom));
END;
CREATE TRIGGER rtree_locations_geom_update1 AFTER UPDATE OF geom ON locations
WHEN OLD.fid = NEW.fid AND (NEW.geom NOTNULL AND NOT ST_IsEmpty(NEW.geom))
BEGIN
  INSERT OR REPLACE INTO rtree_locations_geom VALUES (NEW.fid,
    ST_MinX(NEW.geom), ST_MaxX(NEW.geom), ST_MinY(NEW.geom), ST_MaxY(NEW.geom));
END;
CREATE TRIGGER rtree_locations_geom_update2 AFTER UPDATE OF geom ON locations
WHEN OLD.fid = NEW.fid AND (NEW.geom ISNULL OR ST_IsEmpty(NEW.geom))
BEGIN
  DELETE FROM rtree_locations_geom WHERE id = OLD.fid;
END;
CREATE TRIGGER rtree_locations_geom_update3 AFTER UPDATE ON locations
WHEN OLD.fid != NEW.fid AND (NEW.geom NOTNULL AND NOT ST_IsEmpty(NEW.geom))
BEGIN
  DELETE FROM rtree_locations_geom WHERE id = OLD.fid;
  INSERT OR REPLACE INTO rtree_locations_geom VALUES (NEW.fid,
    ST_MinX(NEW.geom), ST_MaxX(NEW.geom), ST_MinY(NEW.geom), ST_MaxY(NEW.geom));
END;
CREATE TRIGGER rtree_locations_geom_update4 AFTER UPDATE ON locations
WHEN OLD.fid != NEW.fid AND (NEW.geom ISNULL OR ST_IsEmpty(NEW.geom))
BEGIN
  DELETE FROM rtree_locations_geom WHERE id IN (OLD.fid, NEW.fid);
END;
CREATE TRIGGER rtree_locations_geom_delete AFTER DELETE ON locations
WHEN old.geom NOT NULL
BEGIN
  DELETE FROM rtree_locations_geom WHERE id = OLD.fid;
END;
)SQL";

const char* sqlType(FieldKind kind) {
  switch (kind) {
    case FieldKind::kText:
      return "TEXT";
    case FieldKind::kWhole:
      return "INTEGER";
    case FieldKind::kReal:
      return "REAL";
  }
  return "TEXT";
}

// The table's columns after fid and geom: the record index, then every
// element of the field table, then (with stations) the station columns.
std::string columnDefinitions(bool stations, std::string* placeholders) {
  std::string out = "\"index\" INTEGER NOT NULL";
  *placeholders = "?, ?, ?";
  for (const Field& field : locationFields()) {
    for (int e = 0; e < field.elements; ++e) {
      out += ", \"" + columnName(field, e) + "\" " + sqlType(field.kind);
      *placeholders += ", ?";
    }
  }
  if (stations) {
    for (const std::string& column : stationColumns()) {
      out += ", \"" + column + "\" " + (column == "elevation" ? "REAL" : "TEXT");
      *placeholders += ", ?";
    }
  }
  return out;
}

// A float as the double its shortest decimal reads as.
double shortestDouble(const LocationData& record, const Field& field, int element) {
  return std::strtod(fieldValueText(record, field, element).c_str(), nullptr);
}

}  // namespace

struct GeoPackageWriter::Statements {
  Statements(SqliteFile& file, const std::string& insert)
      : insertRow(file, insert),
        insertIndex(file, "INSERT INTO rtree_locations_geom VALUES (?, ?, ?, ?, ?)") {}
  SqliteFile::Statement insertRow;
  SqliteFile::Statement insertIndex;
  double minX = std::numeric_limits<double>::infinity();
  double minY = std::numeric_limits<double>::infinity();
  double maxX = -std::numeric_limits<double>::infinity();
  double maxY = -std::numeric_limits<double>::infinity();
};

GeoPackageWriter::GeoPackageWriter(const std::string& path, bool stations)
    : file_(std::make_unique<SqliteFile>(path, true)), stations_(stations) {
  // The file is written whole in one transaction, and only moved into
  // place when complete, so no journal is needed.
  file_->run("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA page_size = 4096;");
  file_->run(kTables);
  std::string placeholders;
  file_->run(std::string("CREATE TABLE locations (fid INTEGER PRIMARY KEY AUTOINCREMENT, geom "
                         "POINT, ") +
             columnDefinitions(stations, &placeholders) + ");");
  file_->run("BEGIN;");
  statements_ =
      std::make_unique<Statements>(*file_, "INSERT INTO locations VALUES (" + placeholders + ")");
}

GeoPackageWriter::~GeoPackageWriter() = default;

bool GeoPackageWriter::add(const LocationData& record, long index, const StationInfo* info) {
  sqlite3_stmt* s = statements_->insertRow.get();
  sqlite3_int64 fid = next_++;
  sqlite3_bind_int64(s, 1, fid);
  bool placed = RecordPosition(record).onGlobe();
  double x = 0, y = 0;
  if (placed) {
    for (const Field& field : locationFields()) {
      std::string column = field.column;
      if (column == "longitude") x = shortestDouble(record, field, 0);
      if (column == "latitude") y = shortestDouble(record, field, 0);
    }
    std::string blob = geoPackagePoint(x, y, kWgs84);
    sqlite3_bind_blob(s, 2, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
  }
  sqlite3_bind_int64(s, 3, index);
  int at = 4;
  for (const Field& field : locationFields()) {
    for (int e = 0; e < field.elements; ++e, ++at) {
      switch (field.kind) {
        case FieldKind::kText: {
          std::string text = fieldValueText(record, field, e);
          sqlite3_bind_text(s, at, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
          break;
        }
        case FieldKind::kWhole:
          sqlite3_bind_int64(s, at, wholeValue(record, field, e));
          break;
        case FieldKind::kReal:
          if (std::isfinite(realValue(record, field, e))) {
            sqlite3_bind_double(s, at, shortestDouble(record, field, e));
          }
          break;
      }
    }
  }
  if (stations_) {
    for (const std::string& column : stationColumns()) {
      if (info == nullptr) {
        sqlite3_bind_null(s, at++);
      } else if (column == "elevation") {
        if (info->hasElevation()) {
          sqlite3_bind_double(s, at, info->elevation);
        } else {
          sqlite3_bind_null(s, at);
        }
        ++at;
      } else {
        std::string text = stationValueText(*info, column);
        if (text.empty()) {
          sqlite3_bind_null(s, at++);
        } else {
          sqlite3_bind_text(s, at++, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        }
      }
    }
  }
  statements_->insertRow.step();
  statements_->insertRow.reset();
  if (placed) {
    sqlite3_stmt* r = statements_->insertIndex.get();
    sqlite3_bind_int64(r, 1, fid);
    sqlite3_bind_double(r, 2, x);
    sqlite3_bind_double(r, 3, x);
    sqlite3_bind_double(r, 4, y);
    sqlite3_bind_double(r, 5, y);
    statements_->insertIndex.step();
    statements_->insertIndex.reset();
    statements_->minX = std::min(statements_->minX, x);
    statements_->maxX = std::max(statements_->maxX, x);
    statements_->minY = std::min(statements_->minY, y);
    statements_->maxY = std::max(statements_->maxY, y);
  }
  return placed;
}

void GeoPackageWriter::finish() {
  if (std::isfinite(statements_->minX)) {
    SqliteFile::Statement extent(*file_,
                                 "UPDATE gpkg_contents SET min_x = ?, min_y = ?, max_x = ?, "
                                 "max_y = ? WHERE table_name = 'locations'");
    sqlite3_bind_double(extent.get(), 1, statements_->minX);
    sqlite3_bind_double(extent.get(), 2, statements_->minY);
    sqlite3_bind_double(extent.get(), 3, statements_->maxX);
    sqlite3_bind_double(extent.get(), 4, statements_->maxY);
    extent.step();
  }
  statements_.reset();
  file_->run(kTriggers);
  file_->run("COMMIT;");
}

}  // namespace metdb
