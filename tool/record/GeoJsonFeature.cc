#include "tool/record/GeoJsonFeature.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tool/record/Fields.h"
#include "tool/record/RecordJson.h"
#include "tool/record/RecordPosition.h"
#include "tool/text/Text.h"

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

// A text as dumpJson writes it. Printable ASCII without quote or backslash
// is written as it is; anything else goes through the library, which
// escapes control bytes and replaces bytes that are not UTF-8.
void appendText(std::string* out, const std::string& text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') {
      out->append(dumpJson(nlohmann::ordered_json(text), -1));
      return;
    }
  }
  out->push_back('"');
  out->append(text);
  out->push_back('"');
}

// A float as recordToJson holds it (the double of its shortest decimal)
// and dumpJson writes it: by the JSON library's own number formatting, so
// that the bytes are the same.
void appendReal(std::string* out, float value) {
  if (!std::isfinite(value)) {
    out->append("null");
    return;
  }
  double d = std::strtod(text::shortestFloat(value).c_str(), nullptr);
  if (!std::isfinite(d)) {
    out->append("null");
    return;
  }
  char digits[64];
  char* end = nlohmann::detail::to_chars(digits, digits + sizeof digits, d);
  out->append(digits, end);
}

void appendElement(std::string* out, const LocationData& r, const Field& f, int e) {
  switch (f.kind) {
    case FieldKind::kText:
      appendText(out, fieldValueText(r, f, e));
      return;
    case FieldKind::kWhole:
      out->append(std::to_string(wholeValue(r, f, e)));
      return;
    case FieldKind::kReal:
      appendReal(out, realValue(r, f, e));
      return;
  }
  out->append("null");
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

void appendGeoJsonFeature(std::string* out, const LocationData& record, long index,
                          const nlohmann::ordered_json* more, bool* placed) {
  RecordPosition position(record);
  *placed = position.onGlobe();
  std::string properties = "{\"index\":" + std::to_string(index);
  std::string latitude, longitude;
  for (const Field& f : locationFields()) {
    if (!f.isSeries()) {
      properties.append(",\"").append(f.column).append("\":");
      std::size_t at = properties.size();
      appendElement(&properties, record, f, 0);
      if (std::strcmp(f.column, "latitude") == 0) latitude = properties.substr(at);
      if (std::strcmp(f.column, "longitude") == 0) longitude = properties.substr(at);
      continue;
    }
    for (int e = 0; e < f.elements; ++e) {
      properties.append(",\"").append(f.column).append(std::to_string(e + 1)).append("\":");
      appendElement(&properties, record, f, e);
    }
  }
  if (more != nullptr && !more->empty()) {
    // The members' own text, without its braces, after the record's.
    std::string members = dumpJson(*more, -1);
    properties.push_back(',');
    properties.append(members, 1, members.size() - 2);
  }
  properties.push_back('}');

  out->append("{\"type\":\"Feature\",\"geometry\":");
  if (*placed) {
    out->append("{\"type\":\"Point\",\"coordinates\":[")
        .append(longitude)
        .append(",")
        .append(latitude)
        .append("]}");
  } else {
    out->append("null");
  }
  out->append(",\"properties\":").append(properties).append("}");
}

}  // namespace metdb
