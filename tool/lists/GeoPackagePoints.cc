#include "tool/lists/GeoPackagePoints.h"

#include <cstring>
#include <iterator>
#include <map>
#include <sstream>

#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/lists/ColumnMapping.h"
#include "tool/record/GeoPackageGeometry.h"
#include "tool/record/SqliteFile.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

constexpr std::size_t kApplicationIdAt = 68;

// An identifier quoted for SQL.
std::string quotedName(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

std::string columnText(sqlite3_stmt* s, int column) {
  const unsigned char* text = sqlite3_column_text(s, column);
  return text == nullptr ? std::string()
                         : std::string(reinterpret_cast<const char*>(text),
                                       static_cast<std::size_t>(sqlite3_column_bytes(s, column)));
}

// A number as the shortest text that reads back to it.
std::string numberText(double value) {
  std::ostringstream out;
  out.precision(17);
  out << value;
  for (int digits = 1; digits < 17; ++digits) {
    std::ostringstream shorter;
    shorter.precision(digits);
    shorter << value;
    if (std::strtod(shorter.str().c_str(), nullptr) == value) return shorter.str();
  }
  return out.str();
}

struct Layer {
  std::string table;
  std::string geometry;
  long srsId = 0;
};

// The layer to read, or fatal errors in *out.
bool findLayer(SqliteFile& file, Layer* layer, ListedStations* out) {
  SqliteFile::Statement find(
      file,
      "SELECT c.table_name, g.column_name, g.srs_id FROM gpkg_contents c JOIN "
      "gpkg_geometry_columns g ON g.table_name = c.table_name WHERE c.data_type = 'features' "
      "ORDER BY c.table_name <> 'locations', c.rowid");
  if (!find.step()) {
    out->errors.push_back({0, "", "the GeoPackage holds no layer of features"});
    out->fatal = true;
    return false;
  }
  layer->table = columnText(find.get(), 0);
  layer->geometry = columnText(find.get(), 1);
  layer->srsId = sqlite3_column_int64(find.get(), 2);
  if (layer->srsId == 4326 || layer->srsId == 0) return true;
  SqliteFile::Statement srs(
      file,
      "SELECT organization, organization_coordsys_id FROM gpkg_spatial_ref_sys WHERE srs_id = ?");
  sqlite3_bind_int64(srs.get(), 1, layer->srsId);
  if (srs.step() && text::foldCase(columnText(srs.get(), 0)) == "epsg" &&
      sqlite3_column_int64(srs.get(), 1) == 4326) {
    return true;
  }
  out->errors.push_back({0, "",
                         "the layer " + text::quoted(layer->table) +
                             " is not in WGS 84 longitude/latitude (its srs_id is " +
                             std::to_string(layer->srsId) + ")"});
  out->fatal = true;
  return false;
}

}  // namespace

bool looksLikeGeoPackage(const std::string& start) {
  static const char kSqlite[] = "SQLite format 3";
  if (start.size() < kApplicationIdAt + 4 ||
      start.compare(0, sizeof kSqlite, kSqlite, sizeof kSqlite) != 0) {
    return false;
  }
  std::string id = start.substr(kApplicationIdAt, 4);
  return id == "GPKG" || id == "GP10" || id == "GP11";
}

ListedStations readGeoPackagePoints(std::istream& in, const ListOptions& options) {
  ColumnMapping mapping(options.columns);
  ListedStations out;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  try {
    SqliteFile file("the GeoPackage", bytes);
    bytes = std::string();
    Layer layer;
    if (!findLayer(file, &layer, &out)) return out;
    SqliteFile::Statement rows(file, "SELECT * FROM " + quotedName(layer.table));
    sqlite3_stmt* s = rows.get();
    std::map<std::string, int> columns;  // by folded name
    int geometry = -1;
    for (int c = 0; c < sqlite3_column_count(s); ++c) {
      std::string name = sqlite3_column_name(s, c);
      if (name == layer.geometry) geometry = c;
      columns.emplace(text::foldCase(name), c);
    }
    long number = 0;
    while (rows.step()) {
      if (readingStops(out, options)) break;
      checkPoint();
      ++number;
      double x = 0, y = 0;
      std::string why = "the feature has no geometry";
      const auto* blob = static_cast<const unsigned char*>(sqlite3_column_blob(s, geometry));
      if (geometry < 0 || blob == nullptr ||
          !readGeoPackagePoint(blob, static_cast<std::size_t>(sqlite3_column_bytes(s, geometry)),
                               &x, &y, &why)) {
        rowError(&out, number, layer.geometry, why);
        continue;
      }
      auto value = [&](const std::string& key, std::string* v) {
        if (key == "longitude" || key == "latitude") {
          *v = numberText(key == "longitude" ? x : y);
          return true;
        }
        auto found = columns.find(text::foldCase(key));
        if (found == columns.end() || sqlite3_column_type(s, found->second) == SQLITE_NULL) {
          return false;
        }
        switch (sqlite3_column_type(s, found->second)) {
          case SQLITE_INTEGER:
            *v = std::to_string(sqlite3_column_int64(s, found->second));
            break;
          case SQLITE_FLOAT:
            *v = numberText(sqlite3_column_double(s, found->second));
            break;
          default:
            *v = columnText(s, found->second);
        }
        return true;
      };
      ListedStation station;
      station.line = number;
      std::string column;
      why = mapping.fill(value, &station, &column);
      if (!why.empty()) {
        rowError(&out, number, column, why);
        continue;
      }
      if (options.levelGiven()) station.level = options.level;
      out.stations.push_back(station);
    }
  } catch (const Error& e) {
    std::string why = e.what();
    if (!why.empty() && why.back() == '.') why.pop_back();
    out.errors.push_back({0, "", why});
    out.fatal = true;
  }
  return out;
}

}  // namespace metdb
