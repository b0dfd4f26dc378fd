#include "cli/GeoJsonFeature.h"

#include "cli/RecordJson.h"
#include "cli/RecordPosition.h"

nlohmann::ordered_json geoJsonFeature(const LocationData& record, long index, bool* placed) {
  nlohmann::ordered_json properties = recordToJson(record, index);
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
