#ifndef METDB_TOOL_RECORD_GEOPACKAGEWRITER_H_
#define METDB_TOOL_RECORD_GEOPACKAGEWRITER_H_

#include <memory>
#include <string>

#include "datafile/LocationData.h"
#include "datafile/StationInfo.h"

namespace metdb {

class SqliteFile;

// The name of the layer (table) that a GeoPackage export holds.
extern const char* const kGeoPackageLayer;

// Writes records into a new OGC GeoPackage (version 1.3): one point layer,
// "locations", in WGS 84 longitude/latitude (EPSG:4326), with a column for
// every field of the field table (a series as twelve columns, seriesA1 ..
// seriesA12, as the station list has them), the record index as "index",
// and the layer's R-tree spatial index. Numbers are stored as the shortest
// decimals of the record's floats read as doubles, so they print as the
// other exports print them. A record whose position is not on the globe
// gets a null geometry. With stations, the layer also has the station
// file's columns (stationColumns(): ids as one text, elevation as a number),
// null where unknown, so that create and import read them back.
class GeoPackageWriter {
 public:
  // Creates the GeoPackage's tables in the file at path, which must not exist
  // or be empty. Throws Error naming path when it cannot.
  explicit GeoPackageWriter(const std::string& path, bool stations = false);
  ~GeoPackageWriter();
  GeoPackageWriter(const GeoPackageWriter&) = delete;
  GeoPackageWriter& operator=(const GeoPackageWriter&) = delete;

  // Adds one record, with its station information where the layer has
  // the station columns (info null: all unknown); returns whether it got a
  // point (false: null geometry). Throws Error when the file cannot be
  // written.
  bool add(const LocationData& record, long index, const StationInfo* info = nullptr);

  // Fills the spatial index and the layer's extent and commits. The file is
  // a GeoPackage only after this; throws Error when it cannot be written.
  void finish();

 private:
  struct Statements;
  std::unique_ptr<SqliteFile> file_;
  std::unique_ptr<Statements> statements_;
  bool stations_;
  long next_ = 1;
};

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_GEOPACKAGEWRITER_H_
