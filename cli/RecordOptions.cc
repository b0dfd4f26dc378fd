#include "cli/RecordOptions.h"

#include <CLI/CLI.hpp>
#include <map>
#include <sstream>

#include "tool/record/CsvReader.h"
#include "tool/record/StationCsv.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// A good value for each required column of a station list.
const char* const kRequired[][2] = {{"name", "x"},      {"state", ""},  {"country", "x"},
                                    {"continent", "x"}, {"level", "1"}, {"latitude", "0"},
                                    {"longitude", "0"}};

// A CSV field that holds value, quoted.
std::string csvField(const std::string& value) {
  std::string out = "\"";
  for (char c : value) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

// The fault that the station list finds in value for column, as a phrase;
// "" for a good value.
std::string checkValue(const std::string& column, const std::string& value) {
  std::string header, row;
  bool known = false;
  for (const auto& [name, good] : kRequired) {
    header += std::string(header.empty() ? "" : ",") + name;
    row += std::string(row.empty() ? "" : ",") + csvField(name == column ? value : good);
    known = known || name == column;
  }
  if (!known) {
    header += "," + column;
    row += "," + csvField(value);
  }
  std::istringstream in(header + "\n" + row + "\n");
  StationCsvResult result = StationCsv::parse(in);
  return result.errors.empty() ? "" : result.errors.front().message;
}

std::string seriesColumn(const std::string& prefix, std::size_t month) {
  return prefix + std::to_string(month + 1);
}

}  // namespace

void RecordOptions::addOptions(CLI::App* command, bool required) {
  struct OptionDef {
    const char* option;
    const char* column;
    const char* help;
    const char* type;
    bool required;
  };
  const OptionDef optionDefs[] = {
      {"--name", "name", "The location's name (at most 20 bytes)", "TEXT", true},
      {"--state", "state", "Its state (at most 30 bytes; may be empty)", "TEXT", false},
      {"--country", "country", "Its country (at most 30 bytes)", "TEXT", true},
      {"--continent", "continent", "Its continent (at most 20 bytes)", "TEXT", true},
      {"--level", "level", "Its level, -128..127", "N", false},
      {"--latitude", "latitude", "Latitude in degrees, -90..90", "DEGREES", true},
      {"--longitude", "longitude", "Longitude in degrees, -180..180", "DEGREES", true},
      {"--aux-value", "auxValue", "The application value, -32768..32767", "N", false},
      {"--series-a", "seriesA", "Twelve numbers for series A, separated by commas", "V1,..,V12",
       false},
      {"--series-b", "seriesB", "Twelve numbers for series B", "V1,..,V12", false},
      {"--series-c", "seriesC", "Twelve whole numbers for series C, -32768..32767", "V1,..,V12",
       false},
      {"--series-d", "seriesD", "Twelve numbers for series D", "V1,..,V12", false},
      {"--series-e", "seriesE", "Twelve numbers for series E", "V1,..,V12", false},
  };
  fields_.clear();
  fields_.reserve(std::size(optionDefs));
  for (const OptionDef& s : optionDefs) {
    Field f;
    f.option = s.option;
    f.column = s.column;
    f.series = f.column.rfind("series", 0) == 0;
    fields_.push_back(f);
  }
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    Field& f = fields_[i];
    std::string column = f.column;
    bool series = f.series;
    f.registered = command->add_option(f.option, f.value, optionDefs[i].help)
                       ->type_name(optionDefs[i].type)
                       ->check(
                           [column, series](const std::string& value) -> std::string {
                             if (!series) return checkValue(column, value);
                             std::vector<std::string> parts = text::split(value, ',');
                             if (parts.size() != 12) {
                               return "needs twelve values separated by commas, not " +
                                      std::to_string(parts.size());
                             }
                             for (std::size_t m = 0; m < 12; ++m) {
                               std::string fault = checkValue(seriesColumn(column, m), parts[m]);
                               if (!fault.empty()) {
                                 return "value " + std::to_string(m + 1) + ": " + fault;
                               }
                             }
                             return "";
                           },
                           "");
    if (required && optionDefs[i].required) f.registered->required();
  }
}

bool RecordOptions::anyGiven() const {
  for (const Field& f : fields_) {
    if (f.registered != nullptr && f.registered->count() > 0) return true;
  }
  return false;
}

bool RecordOptions::apply(const LocationData& base, LocationData* record,
                          std::vector<std::string>* warnings, std::string* error) const {
  // The base record as a station list row, its columns overwritten by the
  // options given, read back by the station list's own reader: one set of
  // rules for both ways of giving a record.
  std::ostringstream written;
  StationCsv::writeHeader(written);
  StationCsv::writeRecord(written, base);
  std::istringstream lines(written.str());
  CsvReader reader(lines);
  CsvRecord header, row;
  reader.next(&header);
  reader.next(&row);
  std::map<std::string, std::size_t> at;
  for (std::size_t i = 0; i < header.fields.size(); ++i) at[header.fields[i]] = i;
  std::map<std::string, std::string> optionOf;
  for (const Field& f : fields_) {
    if (f.registered == nullptr || f.registered->count() == 0) {
      continue;
    }
    if (!f.series) {
      row.fields[at[f.column]] = f.value;
      optionOf[f.column] = f.option;
      continue;
    }
    std::vector<std::string> parts = text::split(f.value, ',');
    for (std::size_t m = 0; m < 12 && m < parts.size(); ++m) {
      row.fields[at[seriesColumn(f.column, m)]] = parts[m];
    }
  }
  std::string csv;
  for (std::size_t i = 0; i < header.fields.size(); ++i) csv += (i ? "," : "") + header.fields[i];
  csv += "\n";
  for (std::size_t i = 0; i < row.fields.size(); ++i) {
    csv += (i ? "," : "") + csvField(row.fields[i]);
  }
  csv += "\n";
  std::istringstream in(csv);
  StationCsvResult result = StationCsv::parse(in);
  auto where = [&](const std::string& column) {
    auto it = optionOf.find(column);
    return it != optionOf.end() ? it->second : "the " + column;
  };
  for (const StationCsvIssue& w : result.warnings) {
    warnings->push_back(where(w.column) + ": " + w.message + ".");
  }
  if (!result.errors.empty() || result.rows.size() != 1) {
    const StationCsvIssue* e = result.errors.empty() ? nullptr : &result.errors.front();
    *error = e ? where(e->column) + ": " + e->message : "the record cannot be formed";
    return false;
  }
  // Name fields are replaced whole: the reader clears their unused bytes.
  *record = result.rows.front().record;
  return true;
}

}  // namespace metdb
