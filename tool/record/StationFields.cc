#include "tool/record/StationFields.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "datafile/StationFile.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

std::string lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

std::string trimmed(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

bool isScheme(const std::string& column) {
  for (const std::string& s : knownIdSchemes()) {
    if (s == column) return true;
  }
  return false;
}

bool addId(StationInfo* info, const std::string& text, std::string* why) {
  std::string id = normalizedId(text, why);
  if (id.empty()) return false;
  info->addId(id);
  return true;
}

std::string shortest(double v) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

}  // namespace

const std::vector<std::string>& knownIdSchemes() {
  static const std::vector<std::string> schemes = {"ghcn",      "wmo",      "icao",       "iata",
                                                   "usaf-wban", "geonames", "ourairports"};
  return schemes;
}

const std::vector<std::string>& stationColumns() {
  static const std::vector<std::string> columns = [] {
    std::vector<std::string> c = {"ids"};
    for (const std::string& s : knownIdSchemes()) c.push_back(s);
    for (const char* n : {"elevation", "timezone", "active_from", "active_to", "source"}) {
      c.push_back(n);
    }
    return c;
  }();
  return columns;
}

bool isStationColumn(const std::string& column, std::string* canonical) {
  std::string folded = lower(column);
  for (const std::string& c : stationColumns()) {
    if (c == folded) {
      if (canonical) *canonical = c;
      return true;
    }
  }
  if (folded.compare(0, 3, "id.") == 0 && folded.size() > 3) {
    if (canonical) *canonical = folded;
    return true;
  }
  return false;
}

std::string normalizedId(const std::string& text, std::string* why) {
  std::string t = trimmed(text);
  std::size_t colon = t.find(':');
  std::string id = colon == std::string::npos ? t : lower(t.substr(0, colon)) + t.substr(colon);
  if (!StationFile::IsWellFormedId(id)) {
    *why = text::quoted(t) +
           " is no identifier SCHEME:VALUE (a scheme of lower-case letters, digits and '-', a "
           "value without blanks)";
    return "";
  }
  return id;
}

std::string normalizedDate(const std::string& text) {
  std::string t = trimmed(text);
  std::string digits;
  if (t.size() == 10 && t[4] == '-' && t[7] == '-') {
    digits = t.substr(0, 4) + t.substr(5, 2) + t.substr(8, 2);
  } else if (t.size() == 8) {
    digits = t;
  } else {
    return "";
  }
  for (char c : digits) {
    if (c < '0' || c > '9') return "";
  }
  int month = std::atoi(digits.substr(4, 2).c_str());
  int day = std::atoi(digits.substr(6, 2).c_str());
  if (month < 1 || month > 12 || day < 1 || day > 31) return "";
  return digits.substr(0, 4) + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2);
}

std::string stationValueText(const StationInfo& info, const std::string& column) {
  if (column == "ids") {
    std::string out;
    for (const std::string& id : info.ids) out += (out.empty() ? "" : " ") + id;
    return out;
  }
  if (column == "elevation") return info.hasElevation() ? shortest(info.elevation) : "";
  if (column == "timezone") return info.timeZone;
  if (column == "active_from") return info.activeFrom;
  if (column == "active_to") return info.activeTo;
  if (column == "source") return info.source;
  if (column.compare(0, 3, "id.") == 0) return info.idOf(column.substr(3));
  return info.idOf(column);
}

void addStationMembers(nlohmann::ordered_json& object, const StationInfo* info, bool idsAsText) {
  if (!idsAsText) {
    object["ids"] = info ? nlohmann::ordered_json(info->ids) : nlohmann::ordered_json::array();
  } else if (info == nullptr || info->ids.empty()) {
    object["ids"] = nullptr;
  } else {
    object["ids"] = stationValueText(*info, "ids");
  }
  object["elevation"] = info && info->hasElevation() ? nlohmann::ordered_json(info->elevation)
                                                     : nlohmann::ordered_json(nullptr);
  for (const char* c : {"timezone", "active_from", "active_to", "source"}) {
    std::string value = info ? stationValueText(*info, c) : "";
    object[c] = value.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(value);
  }
}

std::string setStationFromText(StationInfo* info, const std::string& column,
                               const std::string& value) {
  std::string name;
  if (!isStationColumn(column, &name)) return "no such column";
  std::string t = trimmed(value);
  if (t.empty()) return "";
  std::string why;
  if (name == "ids") {
    if (t.front() == '[') {
      // A list as JSON holds it: ["wmo:01026", "icao:ENTC"], [] for none.
      nlohmann::json list = nlohmann::json::parse(t, nullptr, false);
      if (!list.is_array()) return "is no list of identifiers as JSON writes one";
      for (const nlohmann::json& id : list) {
        if (!id.is_string()) return "holds " + id.dump() + ", which is no identifier";
        if (!addId(info, trimmed(id.get<std::string>()), &why)) return why;
      }
      return "";
    }
    std::size_t at = 0;
    while (at < t.size()) {
      std::size_t end = t.find_first_of(" \t", at);
      if (end == std::string::npos) end = t.size();
      if (end > at && !addId(info, t.substr(at, end - at), &why)) return why;
      at = end + 1;
    }
    return "";
  }
  if (name == "elevation") {
    char* end = nullptr;
    double v = std::strtod(t.c_str(), &end);
    if (end == t.c_str() || *end != '\0' || !std::isfinite(v)) {
      return text::quoted(t) + " is no elevation in metres";
    }
    info->elevation = v;
    return "";
  }
  if (name == "timezone") {
    if (t.find_first_of(" \t") != std::string::npos) return text::quoted(t) + " is no time zone";
    info->timeZone = t;
    return "";
  }
  if (name == "active_from" || name == "active_to") {
    std::string day = normalizedDate(t);
    if (day.empty()) return text::quoted(t) + " is no date YYYY-MM-DD";
    (name == "active_from" ? info->activeFrom : info->activeTo) = day;
    return "";
  }
  if (name == "source") {
    info->source = t;
    return "";
  }
  std::string scheme = name.compare(0, 3, "id.") == 0 ? name.substr(3) : name;
  if (!isScheme(scheme) && name.compare(0, 3, "id.") != 0) return "no such column";
  return addId(info, scheme + ":" + t, &why) ? "" : why;
}

}  // namespace metdb
