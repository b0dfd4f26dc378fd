#include "tool/lists/StationMapping.h"

#include <cstring>
#include <map>

#include "tool/CheckPoint.h"
#include "tool/record/Fields.h"
#include "tool/text/Text.h"
#include "tool/text/Utf8.h"

namespace metdb {

namespace {

const char* codeName(CountryCode kind) {
  switch (kind) {
    case CountryCode::kIso:
      return "ISO 3166-1";
    case CountryCode::kFips:
      return "FIPS 10-4";
    case CountryCode::kGhcn:
      return "GHCN-Daily or FIPS 10-4";
    case CountryCode::kName:
      break;
  }
  return "";
}

// Names cut to their fields, counted per field for one warning each.
struct CutNames {
  long count = 0;
  long firstLine = 0;
  std::string first;
};

class Mapper {
 public:
  Mapper(const CountryResolver& resolve, StationCsvResult* result)
      : resolve_(resolve), result_(result) {}

  // "" when *row was made, else the fault, with *column the field at fault.
  std::string map(const ListedStation& s, StationRow* row, std::string* column) {
    row->line = s.line;
    row->station = s.station;
    // Every byte zero, the unused bytes of the names included.
    std::memset(static_cast<void*>(&row->record), 0, sizeof row->record);
    CountryNaming naming{s.country, s.continent};
    if (s.countryCode != CountryCode::kName || s.continent.empty()) {
      CountryNaming found;
      if (resolve_(s.country, s.countryCode, &found)) {
        naming.name = s.countryCode == CountryCode::kName ? s.country : found.name;
        if (naming.continent.empty()) naming.continent = found.continent;
      } else if (s.countryCode != CountryCode::kName) {
        *column = "country";
        return text::quoted(s.country) + " is no " + codeName(s.countryCode) + " country code";
      } else if (s.continent.empty()) {
        *column = "continent";
        return "the continent of " + text::quoted(s.country) +
               " is not known; give it in a continent column";
      }
    }
    const std::pair<const char*, const std::string*> texts[] = {{"name", &s.name},
                                                                {"state", &s.state},
                                                                {"country", &naming.name},
                                                                {"continent", &naming.continent}};
    for (const auto& t : texts) {
      std::string why = set(row, t.first, *t.second, s.line);
      if (!why.empty()) {
        *column = t.first;
        return why;
      }
    }
    float lat = static_cast<float>(s.latitude), lon = static_cast<float>(s.longitude);
    std::memcpy(&row->record.latitude, &lat, sizeof lat);
    std::memcpy(&row->record.longitude, &lon, sizeof lon);
    row->record.level = static_cast<std::int8_t>(s.level);
    for (const auto& other : s.otherFields) {
      std::string why = set(row, other.first, other.second, s.line);
      if (!why.empty()) {
        *column = other.first;
        return why;
      }
    }
    return "";
  }

  void reportCuts() {
    for (const auto& cut : cuts_) {
      result_->warnings.push_back(
          {cut.second.firstLine, cut.first,
           text::plural(cut.second.count, "value was", "values were") +
               " longer than the field and cut at a character boundary, the first " +
               cut.second.first});
    }
  }

 private:
  std::string set(StationRow* row, const std::string& column, const std::string& value, long line) {
    int element = 0;
    const Field* field = fieldOfColumn(column, &element);
    if (field == nullptr) return "";
    std::size_t bad = text::findInvalidUtf8(value);
    if (bad != std::string::npos) return text::notUtf8Reason(value, bad, true);
    std::string warning;
    std::string why = setFieldFromText(&row->record, *field, element, value, &warning);
    if (why.empty() && !warning.empty()) {
      CutNames& cut = cuts_[column];
      if (cut.count++ == 0) {
        cut.firstLine = line;
        cut.first = warning;
      }
    }
    return why;
  }

  const CountryResolver& resolve_;
  StationCsvResult* result_;
  std::map<std::string, CutNames> cuts_;
};

}  // namespace

StationCsvResult mapStations(ListedStations listed, const CountryResolver& resolve,
                             bool skipBadRows) {
  StationCsvResult result;
  result.warnings = std::move(listed.warnings);
  result.errors = std::move(listed.errors);
  result.fatal = listed.fatal;
  if (!result.errors.empty() && !skipBadRows) return result;
  Mapper mapper(resolve, &result);
  result.rows.reserve(listed.stations.size());
  for (const ListedStation& s : listed.stations) {
    checkPoint();
    StationRow row;
    std::string column;
    std::string why = mapper.map(s, &row, &column);
    if (why.empty()) {
      result.rows.push_back(row);
      continue;
    }
    result.errors.push_back({s.line, column, why});
    if (!skipBadRows) break;
  }
  mapper.reportCuts();
  return result;
}

}  // namespace metdb
