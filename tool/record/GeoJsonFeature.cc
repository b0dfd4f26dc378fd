#include "tool/record/GeoJsonFeature.h"

#include "tool/record/RecordJson.h"
#include "tool/record/RecordPosition.h"

namespace metdb {

namespace {

// The record's fields with each series spread over twelve members, as the
// station list's columns are: GIS tools take a number per column into
// their attribute tables, where a list would become text.
nlohmann::ordered_json flatProperties(const LocationData& record, long index) {
  nlohmann::ordered_json fields = recordToJson(record, index);
  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  for (auto& [key, value] : fields.items()) {
    if (!value.is_array()) {
      out[key] = value;
      continue;
    }
    for (std::size_t i = 0; i < value.size(); ++i) out[key + std::to_string(i + 1)] = value[i];
  }
  return out;
}

}  // namespace

nlohmann::ordered_json geoJsonFeature(const LocationData& record, long index, bool* placed) {
  nlohmann::ordered_json properties = flatProperties(record, index);
  RecordPosition position(record);
  *placed = position.onGlobe();
  nlohmann::ordered_json feature = nlohmann::ordered_json::object();
  feature["type"] = "Feature";
  if (*placed) {
    // The same shortest decimals as the properties hold.
    feature["geometry"] = {{"type", "Point"},
                           {"coordinates", {properties["longitude"], properties["latitude"]}}};
  } else {
    feature["geometry"] = nullptr;
  }
  feature["properties"] = std::move(properties);
  return feature;
}

}  // namespace metdb
