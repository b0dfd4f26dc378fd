#include "tool/lists/GeoJsonPoints.h"

#include <iterator>
#include <nlohmann/json.hpp>

#include "tool/CheckPoint.h"
#include "tool/lists/ColumnMapping.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// The deepest nesting of a document that is read: copying a value and
// writing it out recurse once per level, so deeper ones would overflow the
// stack. A FeatureCollection of points needs five levels.
constexpr int kMaxDepth = 256;

// A property as text: strings as they are, numbers as JSON writes them.
bool propertyText(const nlohmann::json& properties, const std::string& key, std::string* out) {
  if (!properties.is_object()) return false;
  auto found = properties.find(key);
  if (found == properties.end() || found->is_null()) return false;
  *out = found->is_string() ? found->get<std::string>() : found->dump();
  return true;
}

// Whether value is an object whose "type" is the string type; a "type" of
// any other kind (a number, null) is no match, not an exception.
bool hasType(const nlohmann::json& value, const char* type) {
  if (!value.is_object()) return false;
  auto found = value.find("type");
  return found != value.end() && found->is_string() && found->get_ref<const std::string&>() == type;
}

}  // namespace

ListedStations readGeoJsonPoints(std::istream& in, const ListOptions& options) {
  ColumnMapping mapping(options.columns);
  ListedStations out;
  std::string textValue((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Values deeper than kMaxDepth are dropped as they are parsed (the parser
  // itself keeps no stack of calls), and the document is refused.
  bool tooDeep = false;
  nlohmann::json document = nlohmann::json::parse(
      textValue,
      [&tooDeep](int depth, nlohmann::json::parse_event_t, nlohmann::json&) {
        if (depth > kMaxDepth) tooDeep = true;
        return depth <= kMaxDepth;
      },
      false);
  if (document.is_discarded()) {
    out.errors.push_back({0, "", "the text is not JSON"});
    out.fatal = true;
    return out;
  }
  if (tooDeep) {
    out.errors.push_back(
        {0, "", "the JSON nests deeper than " + std::to_string(kMaxDepth) + " levels"});
    out.fatal = true;
    return out;
  }
  if (!hasType(document, "FeatureCollection") || !document.contains("features") ||
      !document["features"].is_array()) {
    out.errors.push_back({0, "", "the JSON is not a GeoJSON FeatureCollection"});
    out.fatal = true;
    return out;
  }
  long number = 0;
  for (const nlohmann::json& feature : document["features"]) {
    if (readingStops(out, options)) break;
    checkPoint();
    ++number;
    const nlohmann::json* geometry =
        feature.is_object() && feature.contains("geometry") ? &feature["geometry"] : nullptr;
    if (geometry == nullptr || !hasType(*geometry, "Point") || !geometry->contains("coordinates") ||
        !(*geometry)["coordinates"].is_array() || (*geometry)["coordinates"].size() < 2 ||
        !(*geometry)["coordinates"][0].is_number() || !(*geometry)["coordinates"][1].is_number()) {
      rowError(&out, number, "geometry", "the feature is not a point with two coordinates");
      continue;
    }
    nlohmann::json properties =
        feature.contains("properties") ? feature["properties"] : nlohmann::json::object();
    const nlohmann::json& c = (*geometry)["coordinates"];
    auto value = [&](const std::string& key, std::string* v) {
      if (key == "longitude") {
        *v = c[0].dump();
        return true;
      }
      if (key == "latitude") {
        *v = c[1].dump();
        return true;
      }
      return propertyText(properties, key, v);
    };
    ListedStation s;
    s.line = number;
    std::string column;
    std::string why = mapping.fill(value, &s, &column);
    if (!why.empty()) {
      rowError(&out, number, column, why);
      continue;
    }
    if (options.levelGiven()) s.level = options.level;
    out.stations.push_back(s);
  }
  return out;
}

}  // namespace metdb
