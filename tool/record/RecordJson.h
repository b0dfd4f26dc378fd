#ifndef METDB_TOOL_RECORD_RECORDJSON_H_
#define METDB_TOOL_RECORD_RECORDJSON_H_

#include <nlohmann/json.hpp>

#include "datafile/LocationData.h"
#include "tool/record/Fields.h"

namespace metdb {

// One record as a JSON object with every field: "index" (the record index),
// "name", "state", "country", "continent", "level", "latitude", "longitude",
// "auxValue", and "seriesA" .. "seriesE" as arrays of twelve numbers. Each
// float is given as the shortest decimal that reads back to the same 32-bit
// value; a value that is not a finite number becomes null. Names are taken
// as UTF-8; bytes that are not valid UTF-8 are replaced when dumped (use
// dumpJson).
nlohmann::ordered_json recordToJson(const LocationData& record, long index);

// One element of a field of record as recordToJson gives it: a string, a
// whole number, or a float's shortest decimal (null when not finite).
nlohmann::ordered_json fieldJson(const LocationData& record, const Field& field, int element);

// value as compact (indent < 0) or indented text, replacing invalid UTF-8
// rather than throwing.
std::string dumpJson(const nlohmann::ordered_json& value, int indent);

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_RECORDJSON_H_
