#ifndef METDB_TOOL_RECORD_RECORDCOLUMNS_H_
#define METDB_TOOL_RECORD_RECORDCOLUMNS_H_

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "datafile/LocationData.h"
#include "datafile/StationInfo.h"
#include "tool/record/Fields.h"

namespace metdb {

// One column of a listing of records: the record index, or one element of
// a field of the field table, named as the station list's header names it
// ("index", "name", "latitude", "seriesA7").
struct RecordColumn {
  const Field* field = nullptr;  // null for the record index or a station column
  int element = 0;               // within a series, 0..11
  // A column of the station file ("wmo", "elevation": see
  // stationColumns()), whose value comes from the location's station
  // information rather than its record; empty otherwise.
  std::string station;

  bool isStation() const { return !station.empty(); }

  // The column's name: "index", or the field's column name for the element.
  std::string name() const;
  // Whether its values are numbers (everything but the four names).
  bool isNumber() const;
  // The value for the record at index as the station list writes it: a
  // name as it is, a float in the shortest form that reads back to the
  // same value.
  // A station column's value comes from info ("" when null).
  std::string text(const LocationData& record, long index, const StationInfo* info = nullptr) const;
  // The same as a JSON value, as recordToJson gives it (a float that is no
  // finite number becomes null).
  // A station column gives null for an unknown value, the elevation a
  // number.
  nlohmann::ordered_json json(const LocationData& record, long index,
                              const StationInfo* info = nullptr) const;
};

// The columns a location table shows unless told otherwise: index,
// continent, country, state, name, level, latitude, longitude.
std::vector<RecordColumn> tableColumns();

// Every column name there is, in record order, series shown as one range:
// "index, name, state, ..., seriesA1..seriesA12, ...".
std::string columnNamesText();

// The columns of a list of names separated by commas, in the order given,
// matched ignoring ASCII case and the blanks around each name (the same
// column may come more than once). Throws Error naming the first name that
// is no column (an empty one among them), with every name there is.
std::vector<RecordColumn> parseColumns(const std::string& list);

// Whether any of columns is a station column.
bool anyStationColumn(const std::vector<RecordColumn>& columns);

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_RECORDCOLUMNS_H_
