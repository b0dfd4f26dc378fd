#include "tool/record/RecordJson.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "tool/text/Text.h"

namespace metdb {

namespace {

// A float as the double whose shortest decimal is that of the float, so that
// the JSON reads 48.2167 and not 48.21670150756836.
nlohmann::ordered_json number(float value) {
  if (!std::isfinite(value)) return nullptr;
  return std::strtod(text::shortestFloat(value).c_str(), nullptr);
}

nlohmann::ordered_json floatSeries(const float (&series)[12]) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (float v : series) out.push_back(number(v));
  return out;
}

}  // namespace

nlohmann::ordered_json recordToJson(const LocationData& r, long index) {
  // The record is packed: copy the series out rather than bind references
  // to misaligned members.
  float a[12], b[12], d[12], e[12];
  std::int16_t c[12];
  std::memcpy(a, r.seriesA, sizeof a);
  std::memcpy(b, r.seriesB, sizeof b);
  std::memcpy(c, r.seriesC, sizeof c);
  std::memcpy(d, r.seriesD, sizeof d);
  std::memcpy(e, r.seriesE, sizeof e);
  float latitude, longitude;
  std::int16_t aux;
  std::memcpy(&latitude, &r.latitude, sizeof latitude);
  std::memcpy(&longitude, &r.longitude, sizeof longitude);
  std::memcpy(&aux, &r.auxValue, sizeof aux);

  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  out["index"] = index;
  out["name"] = fieldText(r.name);
  out["state"] = fieldText(r.state);
  out["country"] = fieldText(r.country);
  out["continent"] = fieldText(r.continent);
  out["level"] = static_cast<int>(r.level);
  out["latitude"] = number(latitude);
  out["longitude"] = number(longitude);
  out["auxValue"] = aux;
  out["seriesA"] = floatSeries(a);
  out["seriesB"] = floatSeries(b);
  nlohmann::ordered_json series = nlohmann::ordered_json::array();
  for (std::int16_t v : c) series.push_back(v);
  out["seriesC"] = series;
  out["seriesD"] = floatSeries(d);
  out["seriesE"] = floatSeries(e);
  return out;
}

std::string dumpJson(const nlohmann::ordered_json& value, int indent) {
  return value.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace metdb
