#include "tool/record/RecordColumns.h"

#include "tool/Error.h"
#include "tool/record/RecordJson.h"
#include "tool/record/StationFields.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

RecordColumn fieldColumn(const char* name) {
  RecordColumn column;
  column.field = fieldOfColumn(name, &column.element);
  return column;
}

}  // namespace

std::string RecordColumn::name() const {
  if (isStation()) return station;
  return field == nullptr ? "index" : columnName(*field, element);
}

bool RecordColumn::isNumber() const {
  if (isStation()) return station == "elevation";
  return field == nullptr || field->kind != FieldKind::kText;
}

std::string RecordColumn::text(const LocationData& record, long index,
                               const StationInfo* info) const {
  if (isStation()) return info == nullptr ? "" : stationValueText(*info, station);
  return field == nullptr ? std::to_string(index) : fieldValueText(record, *field, element);
}

nlohmann::ordered_json RecordColumn::json(const LocationData& record, long index,
                                          const StationInfo* info) const {
  if (isStation()) {
    if (info == nullptr) return nullptr;
    if (station == "elevation") {
      return info->hasElevation() ? nlohmann::ordered_json(info->elevation) : nullptr;
    }
    if (station == "ids") return info->ids;
    std::string value = stationValueText(*info, station);
    return value.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(value);
  }
  return field == nullptr ? nlohmann::ordered_json(index) : fieldJson(record, *field, element);
}

bool anyStationColumn(const std::vector<RecordColumn>& columns) {
  for (const RecordColumn& c : columns) {
    if (c.isStation()) return true;
  }
  return false;
}

std::vector<RecordColumn> tableColumns() {
  std::vector<RecordColumn> columns(1);  // the index
  for (const char* name :
       {"continent", "country", "state", "name", "level", "latitude", "longitude"}) {
    columns.push_back(fieldColumn(name));
  }
  return columns;
}

std::string columnNamesText() {
  std::string out = "index";
  for (const Field& f : locationFields()) {
    out += ", ";
    out += f.isSeries() ? columnName(f, 0) + ".." + columnName(f, f.elements - 1) : f.column;
  }
  for (const std::string& c : stationColumns()) out += ", " + c;
  return out;
}

std::vector<RecordColumn> parseColumns(const std::string& list) {
  std::vector<RecordColumn> columns;
  for (const std::string& part : text::split(list, ',')) {
    std::string name = text::trimBlanks(part);
    RecordColumn column;
    if (isStationColumn(name, &column.station)) {
      columns.push_back(column);
      continue;
    }
    if (!text::equalIgnoringCase(name, "index")) {
      column.field = fieldOfColumn(name, &column.element);
      if (column.field == nullptr) {
        throw Error(
            text::quoted(name) + " is no column; the columns are " + columnNamesText() + ".",
            Error::Cause::kBadInput);
      }
    }
    columns.push_back(column);
  }
  return columns;
}

}  // namespace metdb
