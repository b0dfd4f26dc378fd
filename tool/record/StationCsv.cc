#include "tool/record/StationCsv.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <system_error>

#include "tool/CheckPoint.h"
#include "tool/record/CsvReader.h"
#include "tool/record/Fields.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// The level of a station whose list gives none, as "metdb add" gives it.
constexpr std::int8_t kDefaultLevel = 1;

// A column of the station list: one element of one field.
struct ColumnDef {
  std::string name;  // as the writer writes it
  const Field* field;
  int element;  // 0..11 for a series, else 0
};

// Every known column, in the order the writer puts them.
const std::vector<ColumnDef>& columnDefs() {
  static const std::vector<ColumnDef> defs = [] {
    std::vector<ColumnDef> columns;
    for (const Field& f : locationFields()) {
      for (int e = 0; e < f.elements; ++e) columns.push_back({columnName(f, e), &f, e});
    }
    return columns;
  }();
  return defs;
}

std::string asciiLower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

using text::isBlank;
using text::trimBlanks;

std::string joinQuoted(const std::vector<std::string>& names) {
  std::string out;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += (i + 1 == names.size()) ? " and " : ", ";
    out += quotedValue(names[i]);
  }
  return out;
}

// Reads the station rows that follow a header.
class Parser {
 public:
  Parser(std::istream& in, StationCsv::Mode mode) : reader_(in), mode_(mode) {}

  StationCsvResult run() {
    if (!readHeader()) {
      result_.fatal = true;
      return std::move(result_);
    }
    CsvRecord record;
    while (reader_.next(&record)) {
      checkPoint();
      StationRow row;
      row.line = record.line;
      row.record.level = kDefaultLevel;
      std::size_t warningsBefore = result_.warnings.size();
      bool good = readRow(record, &row);
      // A skipped row's warnings would only confuse: its error says it all.
      if (!good) result_.warnings.resize(warningsBefore);
      if (record.fatal) {
        result_.fatal = true;
        break;
      }
      if (good) {
        result_.rows.push_back(row);
      } else if (mode_ == StationCsv::Mode::kStopAtFirstError) {
        break;
      }
    }
    return std::move(result_);
  }

 private:
  // A column of this file's header.
  struct FileColumn {
    std::string name;      // as written
    const ColumnDef* def;  // null for a column that is ignored
  };

  void error(long line, const std::string& column, const std::string& message) {
    result_.errors.push_back({line, column, message});
  }
  void warning(long line, const std::string& column, const std::string& message) {
    result_.warnings.push_back({line, column, message});
  }

  bool readHeader() {
    CsvRecord header;
    if (!reader_.next(&header)) {
      error(0, "",
            "the file is empty; it needs a header row naming the columns name, state, country, "
            "continent, latitude and longitude (level and the others are optional)");
      return false;
    }
    std::vector<std::string> unknown;
    std::vector<bool> seen(columnDefs().size(), false);
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
      std::string written = trimBlanks(header.fields[i]);
      std::string key = asciiLower(written);
      const ColumnDef* def = nullptr;
      for (std::size_t k = 0; k < columnDefs().size(); ++k) {
        if (asciiLower(columnDefs()[k].name) == key) {
          if (seen[k]) {
            error(header.line, written, "the header names this column twice");
            return false;
          }
          seen[k] = true;
          def = &columnDefs()[k];
          break;
        }
      }
      if (def == nullptr) unknown.push_back(written);
      columns_.push_back({written, def});
    }
    if (!header.error.empty()) {
      error(header.line, columns_[header.errorField].name, "the header field " + header.error);
      return false;
    }
    std::vector<std::string> missing;
    for (std::size_t k = 0; k < columnDefs().size(); ++k) {
      if (!seen[k] && columnDefs()[k].field->requiredColumn)
        missing.push_back(columnDefs()[k].name);
    }
    if (!missing.empty()) {
      error(header.line, "",
            std::string("the header lacks the column") + (missing.size() > 1 ? "s " : " ") +
                joinQuoted(missing));
      return false;
    }
    if (!unknown.empty()) {
      warning(header.line, "",
              std::string(unknown.size() > 1 ? "the columns " : "the column ") +
                  joinQuoted(unknown) + (unknown.size() > 1 ? " are" : " is") +
                  " not known and ignored");
    }
    return true;
  }

  // Fills row->record from a record; reports and returns false on a fault.
  bool readRow(const CsvRecord& record, StationRow* row) {
    long line = record.line;
    if (!record.error.empty()) {
      const std::string& column =
          record.errorField < columns_.size() ? columns_[record.errorField].name : "";
      error(line, column, "the field " + record.error);
      return false;
    }
    if (record.fields.size() < columns_.size()) {
      error(line, columns_[record.fields.size()].name,
            "the row ends before this column (it has " + std::to_string(record.fields.size()) +
                " fields, the header " + std::to_string(columns_.size()) + ")");
      return false;
    }
    if (record.fields.size() > columns_.size()) {
      error(line, "",
            "the row has " + std::to_string(record.fields.size()) + " fields, the header only " +
                std::to_string(columns_.size()) + " (a text holding a comma must be quoted)");
      return false;
    }

    LocationData& d = row->record;
    for (const Field& f : locationFields()) {
      if (f.kind == FieldKind::kText)
        std::memset(reinterpret_cast<char*>(&d) + f.offset, 0, f.size);
    }
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      const ColumnDef* def = columns_[i].def;
      if (def == nullptr) continue;
      const Field& f = *def->field;
      const std::string& text = record.fields[i];
      if (f.kind != FieldKind::kText && f.requiredColumn && trimBlanks(text).empty()) {
        error(line, columns_[i].name, "the field is empty");
        return false;
      }
      std::string cut;
      std::string fault = setFieldFromText(&d, f, def->element, text, &cut);
      if (!fault.empty()) {
        error(line, columns_[i].name, fault);
        return false;
      }
      if (!cut.empty()) warning(line, columns_[i].name, cut);
    }
    return true;
  }

  CsvReader reader_;
  StationCsv::Mode mode_;
  std::vector<FileColumn> columns_;
  StationCsvResult result_;
};

void writeText(std::ostream& out, const std::string& text) {
  bool quote = !text.empty() && (isBlank(text.front()) || isBlank(text.back()));
  for (char c : text) {
    if (c == ',' || c == '"' || c == '\r' || c == '\n') quote = true;
  }
  if (!quote) {
    out << text;
    return;
  }
  out << '"';
  for (char c : text) {
    if (c == '"') out << '"';
    out << c;
  }
  out << '"';
}

}  // namespace

std::string StationCsvIssue::describe(const std::string& source) const {
  std::string where = source;
  if (line > 0) where += (where.empty() ? "line " : ", line ") + std::to_string(line);
  if (!column.empty()) where += (where.empty() ? "column " : ", column ") + quotedValue(column);
  return (where.empty() ? message : where + ": " + message) + ".";
}

StationCsvResult StationCsv::parse(std::istream& in, Mode mode) { return Parser(in, mode).run(); }

void StationCsv::writeHeader(std::ostream& out) {
  const auto& defs = columnDefs();
  for (std::size_t i = 0; i < defs.size(); ++i) {
    if (i > 0) out << ',';
    out << defs[i].name;
  }
  out << '\n';
}

void StationCsv::writeRecord(std::ostream& out, const LocationData& d) {
  bool first = true;
  for (const Field& f : locationFields()) {
    for (int e = 0; e < f.elements; ++e) {
      if (!first) out << ',';
      first = false;
      std::string value = fieldValueText(d, f, e);
      if (f.kind == FieldKind::kText) {
        writeText(out, value);
      } else {
        out << value;
      }
    }
  }
  out << '\n';
}

void StationCsv::write(std::ostream& out, const std::vector<LocationData>& records) {
  writeHeader(out);
  for (const LocationData& d : records) writeRecord(out, d);
}

}  // namespace metdb
