#include "tool/lists/ColumnMapping.h"

#include "tool/Error.h"
#include "tool/lists/Angles.h"
#include "tool/record/Fields.h"
#include "tool/record/NameLevels.h"
#include "tool/record/StationFields.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// The fields a mapping may name beyond the record's columns: a country
// given by its code.
const char* const kCountryCodes[] = {"country-iso", "country-fips"};

bool knownField(const std::string& field) {
  int element;
  if (fieldOfColumn(field, &element) != nullptr || isStationColumn(field)) return true;
  for (const char* c : kCountryCodes) {
    if (field == c) return true;
  }
  return false;
}

}  // namespace

ColumnMapping::ColumnMapping(const std::vector<std::pair<std::string, std::string>>& columns)
    : columns_(columns) {
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    const std::string& field = columns_[i].first;
    if (!knownField(field)) {
      throw Error(
          "--columns: " + text::quoted(field) +
              " is no field of a record; the fields are name, state, country (or "
              "country-iso, country-fips), continent, level, latitude, longitude, auxValue "
              "seriesA1..seriesE12, and of the station file ids, id.SCHEME (wmo, icao, ... or "
              "a scheme of your own), elevation, timezone, active_from, active_to.",
          Error::Cause::kBadInput);
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (columns_[j].first == field) {
        throw Error("--columns: the field " + text::quoted(field) + " is given twice.",
                    Error::Cause::kBadInput);
      }
    }
  }
}

std::vector<std::pair<std::string, std::string>> ColumnMapping::parse(
    const std::string& textValue) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const std::string& part : text::split(textValue, ',')) {
    std::size_t eq = part.find('=');
    if (eq == std::string::npos) {
      throw Error(
          "--columns: " + text::quoted(part) + " is not FIELD=COLUMN (e.g. name=STATION_NAME).",
          Error::Cause::kBadInput);
    }
    pairs.emplace_back(text::trimBlanks(part.substr(0, eq)), text::trimBlanks(part.substr(eq + 1)));
  }
  return pairs;
}

std::string ColumnMapping::sourceOf(const std::string& field) const {
  for (const auto& c : columns_) {
    if (c.first == field) return c.second;
  }
  return field;
}

std::string ColumnMapping::fill(const std::function<bool(const std::string&, std::string*)>& value,
                                ListedStation* s, std::string* column) const {
  auto get = [&](const std::string& field, std::string* out) {
    *column = sourceOf(field);
    return value(*column, out);
  };
  std::string v;
  if (!get("name", &s->name) || text::trimBlanks(s->name).empty()) return "the name is missing";
  get("state", &s->state);
  if (get("country-iso", &v) && !v.empty()) {
    s->country = v;
    s->countryCode = CountryCode::kIso;
  } else if (get("country-fips", &v) && !v.empty()) {
    s->country = v;
    s->countryCode = CountryCode::kFips;
  } else if (!get("country", &s->country) || s->country.empty()) {
    return "the country is missing";
  }
  get("continent", &s->continent);
  if (!get("latitude", &v)) return "the latitude is missing";
  std::string why = readAngle(v, true, &s->latitude);
  if (!why.empty()) return "the latitude " + why;
  if (!get("longitude", &v)) return "the longitude is missing";
  why = readAngle(v, false, &s->longitude);
  if (!why.empty()) return "the longitude " + why;
  if (get("level", &v) && !text::trimBlanks(v).empty()) {
    long long level;
    if (text::readNumber(v, &level) != text::NumberText::kNumber || level < levelField().min ||
        level > levelField().max) {
      return text::quoted(v) + " is not a level (a whole number " + levelRange() + ")";
    }
    s->level = static_cast<int>(level);
  }
  for (const Field& f : locationFields()) {
    std::string name = f.column;
    if (name == "name" || name == "state" || name == "country" || name == "continent" ||
        name == "level" || name == "latitude" || name == "longitude") {
      continue;
    }
    for (int e = 0; e < f.elements; ++e) {
      std::string columnOfElement = columnName(f, e);
      if (get(columnOfElement, &v)) s->otherFields.emplace_back(columnOfElement, v);
    }
  }
  // The station file's columns: those the mapping names (id.wmo=WMO_ID),
  // and those of the list's own header under their names.
  std::vector<std::string> station = stationColumns();
  for (const auto& c : columns_) {
    if (c.first.compare(0, 3, "id.") == 0) station.push_back(c.first);
  }
  for (const std::string& field : station) {
    if (!get(field, &v)) continue;
    why = setStationFromText(&s->station, field, v);
    if (!why.empty()) return why;
  }
  column->clear();
  return "";
}

}  // namespace metdb
