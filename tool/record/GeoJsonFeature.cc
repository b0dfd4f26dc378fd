#include "tool/record/GeoJsonFeature.h"

#include <charconv>
#include <cmath>
#include <cstdint>
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

// Powers of ten that a double holds exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The double nearest to a finite float's shortest decimal: what strtod
// gives for text::shortestFloat(value), without the string. A decimal of at
// most 15 digits and a power of ten from 10^-22 to 10^22 are both exact
// doubles, so one multiplication or division, rounded once, gives the
// nearest double (Clinger's fast path); other decimals go through strtod.
double shortestDecimal(float value) {
  char text[32];
  std::to_chars_result r = std::to_chars(text, text + sizeof text - 1, value);
  *r.ptr = '\0';
  const char* p = text;
  bool negative = *p == '-';
  if (negative) ++p;
  std::uint64_t digits = 0;
  int digitCount = 0;
  int fractionDigits = 0;
  bool fraction = false;
  for (; *p != 'e' && *p != '\0'; ++p) {
    if (*p == '.') {
      fraction = true;
      continue;
    }
    digits = digits * 10 + static_cast<unsigned>(*p - '0');
    ++digitCount;
    if (fraction) ++fractionDigits;
  }
  int exponent = 0;
  if (*p == 'e') {
    ++p;
    bool below = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    for (; *p != '\0'; ++p) exponent = exponent * 10 + (*p - '0');
    if (below) exponent = -exponent;
  }
  int scale = exponent - fractionDigits;
  if (digitCount > 15 || scale < -22 || scale > 22) return std::strtod(text, nullptr);
  double d = static_cast<double>(digits);
  d = scale >= 0 ? d * kExactPowers[scale] : d / kExactPowers[-scale];
  return negative ? -d : d;
}

// A float as recordToJson holds it (the double of its shortest decimal)
// and dumpJson writes it: by the JSON library's own number formatting, so
// that the bytes are the same.
void appendReal(std::string* out, float value) {
  if (!std::isfinite(value)) {
    out->append("null");
    return;
  }
  double d = shortestDecimal(value);
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
