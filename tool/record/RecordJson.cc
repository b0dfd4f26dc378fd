#include "tool/record/RecordJson.h"

#include <cmath>
#include <cstdlib>

#include "tool/record/Fields.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// A float as the double whose shortest decimal is that of the float, so that
// the JSON reads 48.2167 and not 48.21670150756836.
nlohmann::ordered_json number(float value) {
  if (!std::isfinite(value)) return nullptr;
  return std::strtod(text::shortestFloat(value).c_str(), nullptr);
}

}  // namespace

nlohmann::ordered_json fieldJson(const LocationData& r, const Field& f, int e) {
  switch (f.kind) {
    case FieldKind::kText:
      return fieldValueText(r, f, e);
    case FieldKind::kWhole:
      return wholeValue(r, f, e);
    case FieldKind::kReal:
      return number(realValue(r, f, e));
  }
  return nullptr;
}

nlohmann::ordered_json recordToJson(const LocationData& r, long index) {
  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  out["index"] = index;
  for (const Field& f : locationFields()) {
    if (!f.isSeries()) {
      out[f.column] = fieldJson(r, f, 0);
      continue;
    }
    nlohmann::ordered_json series = nlohmann::ordered_json::array();
    for (int e = 0; e < f.elements; ++e) series.push_back(fieldJson(r, f, e));
    out[f.column] = series;
  }
  return out;
}

std::string dumpJson(const nlohmann::ordered_json& value, int indent) {
  return value.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace metdb
