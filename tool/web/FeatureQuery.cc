#include "tool/web/FeatureQuery.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "tool/record/StationFields.h"
#include "tool/text/Text.h"
#include "tool/text/Utf8.h"

namespace metdb {

namespace {

// The longest value of a text parameter: more than any name the record can
// hold, far less than a request may carry.
constexpr std::size_t kMaxTextBytes = 200;

// A decimal number, all of value, finite.
bool strictNumber(const std::string& value, double* out) {
  if (value.empty() || value.size() > 40) return false;
  for (char c : value) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) {
      return false;
    }
  }
  char* end = nullptr;
  *out = std::strtod(value.c_str(), &end);
  return end == value.c_str() + value.size() && std::isfinite(*out);
}

// A whole number of digits only, within min..max.
bool strictWhole(const std::string& value, long min, long max, long* out) {
  if (value.empty() || value.size() > 12) return false;
  long n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  *out = n;
  return n >= min && n <= max;
}

std::string numbersOf(const std::string& value, std::size_t count, std::vector<double>* out) {
  std::vector<std::string> parts = text::split(value, ',');
  if (parts.size() != count) return "";
  for (const std::string& p : parts) {
    double d;
    if (!strictNumber(p, &d)) return "";
    out->push_back(d);
  }
  return "ok";
}

std::string invalid(const std::string& name, const std::string& why) {
  return "The parameter " + name + " " + why + ".";
}

}  // namespace

const std::vector<std::string>& featureQueryParameters() {
  static const std::vector<std::string> names = {
      "f", "bbox",      "bbox-crs", "limit",     "offset", "q",      "near",
      "k", "within_km", "country",  "continent", "level",  "active", "datetime"};
  return names;
}

std::string urlEncode(const std::string& value) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : value) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '_' || c == '.' || c == '~' || c == ',') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string outputFormat(const QueryParameters& params, const std::string& accept) {
  for (const auto& [name, value] : params) {
    if (name != "f") continue;
    if (value == "json" || value == "geojson") return "json";
    if (value == "html") return "html";
    return "";
  }
  // A browser asks for HTML first; a GIS client for JSON.
  std::size_t html = accept.find("text/html");
  std::size_t json = accept.find("json");
  return html != std::string::npos && (json == std::string::npos || html < json) ? "html" : "json";
}

std::string parseFeatureQuery(const QueryParameters& params, FeatureQuery* query) {
  const std::vector<std::string>& known = featureQueryParameters();
  std::set<std::string> seen;
  for (const auto& [name, value] : params) {
    if (std::find(known.begin(), known.end(), name) == known.end()) {
      std::string list;
      for (const std::string& k : known) list += (list.empty() ? "" : ", ") + k;
      return "The parameter " + text::quoted(name) + " is not known here (known: " + list + ").";
    }
    if (!seen.insert(name).second) return invalid(name, "is given more than once");
    if (text::findInvalidUtf8(value) != std::string::npos)
      return invalid(name, "is not valid UTF-8");
    if (value.size() > kMaxTextBytes) {
      return invalid(name, "is longer than " + std::to_string(kMaxTextBytes) + " bytes");
    }
    if (name != "f" && name != "offset" && name != "limit" && name != "datetime" &&
        name != "bbox-crs") {
      query->carried += name + "=" + urlEncode(value) + "&";
    }
    if (name == "f") {
      if (outputFormat({{name, value}}, "") == "") return invalid(name, "must be json or html");
    } else if (name == "bbox") {
      std::vector<double> v;
      if (numbersOf(value, 4, &v).empty() && numbersOf(value, 6, &v).empty()) {
        return invalid(name, "must be four numbers, west,south,east,north (or six, with heights)");
      }
      if (v.size() == 6) v = {v[0], v[1], v[3], v[4]};
      double west = v[0], south = v[1], east = v[2], north = v[3];
      if (std::fabs(west) > 180 || std::fabs(east) > 180) {
        return invalid(name, "has a longitude outside -180..180");
      }
      if (std::fabs(south) > 90 || std::fabs(north) > 90) {
        return invalid(name, "has a latitude outside -90..90");
      }
      if (south > north) return invalid(name, "has its south above its north");
      query->filters.bbox = Box{static_cast<float>(south), static_cast<float>(west),
                                static_cast<float>(north), static_cast<float>(east)};
    } else if (name == "bbox-crs") {
      if (value != "http://www.opengis.net/def/crs/OGC/1.3/CRS84") {
        return invalid(name, "must be http://www.opengis.net/def/crs/OGC/1.3/CRS84");
      }
    } else if (name == "limit") {
      if (!strictWhole(value, 1, kMaxPageSize, &query->limit)) {
        return invalid(name, "must be a whole number from 1 to " + std::to_string(kMaxPageSize));
      }
    } else if (name == "offset") {
      if (!strictWhole(value, 0, 999999999, &query->offset)) {
        return invalid(name, "must be a whole number from 0");
      }
    } else if (name == "q") {
      if (text::trimBlanks(value).empty()) return invalid(name, "is empty");
      query->text = value;
    } else if (name == "near") {
      std::vector<double> v;
      if (numbersOf(value, 2, &v).empty() || std::fabs(v[0]) > 90 || std::fabs(v[1]) > 180) {
        return invalid(name, "must be LAT,LON, a latitude in -90..90 and a longitude in -180..180");
      }
      query->near = true;
      query->latitude = v[0];
      query->longitude = v[1];
    } else if (name == "k") {
      if (!strictWhole(value, 1, kMaxPageSize, &query->k)) {
        return invalid(name, "must be a whole number from 1 to " + std::to_string(kMaxPageSize));
      }
    } else if (name == "within_km") {
      if (!strictNumber(value, &query->withinKm) || query->withinKm < 0 ||
          query->withinKm > 20040) {
        return invalid(name, "must be a distance in kilometres from 0 to 20040");
      }
    } else if (name == "country" || name == "continent") {
      (name == "country" ? query->filters.country : query->filters.continent) = value;
    } else if (name == "level") {
      long level;
      if (!strictWhole(value, 0, 127, &level)) {
        return invalid(name, "must be a whole number from 0 to 127");
      }
      query->filters.levelLimit = static_cast<int>(level);
      query->filters.levelGiven = true;
    } else if (name == "active") {
      query->filters.active = normalizedDate(value);
      if (query->filters.active.empty()) return invalid(name, "must be a date YYYY-MM-DD");
    }
  }
  if ((seen.count("k") || seen.count("within_km")) && !query->near) {
    return "The parameters k and within_km need near=LAT,LON.";
  }
  if (query->near && !query->text.empty()) {
    return "The parameters q and near cannot be given together.";
  }
  if (seen.count("f")) query->format = outputFormat(params, "");
  return "";
}

}  // namespace metdb
