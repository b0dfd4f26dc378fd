#include "tool/record/StationCsv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <memory>
#include <sstream>
#include <system_error>
#include <utility>

#include "tool/CheckPoint.h"
#include "tool/record/CsvReader.h"
#include "tool/record/DuplicateRows.h"
#include "tool/record/Fields.h"
#include "tool/record/StationFields.h"
#include "tool/text/Text.h"
#include "tool/text/TextDecoder.h"
#include "tool/text/Utf8.h"

namespace metdb {

namespace {

// The level of a station whose list gives none, as "metdb add" gives it.
constexpr std::int8_t kDefaultLevel = 1;

// The station file's columns that an export writes (the schemes' columns
// repeat what ids holds).
const char* const kExportedStationColumns[] = {"ids",         "elevation", "timezone",
                                               "active_from", "active_to", "source"};

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

using text::isBlank;
using text::trimBlanks;

std::string joinQuoted(const std::vector<std::string>& names) {
  // A message names a few; a header of a thousand columns is not repeated.
  constexpr std::size_t kShown = 10;
  std::size_t shown = names.size() > kShown ? kShown : names.size();
  std::string out;
  for (std::size_t i = 0; i < shown; ++i) {
    if (i > 0) out += (i + 1 == names.size()) ? " and " : ", ";
    out += quotedValue(names[i]);
  }
  if (shown < names.size()) out += " and " + std::to_string(names.size() - shown) + " more";
  return out;
}

// The delimiters a station list may use, in the order in which detection
// prefers them when they split the header equally well.
constexpr char kDelimiters[] = {',', ';', '\t'};

// How messages name a delimiter, and how --delimiter gives it.
std::string delimiterName(char delimiter, bool plural) {
  switch (delimiter) {
    case ',':
      return plural ? "commas" : "a comma";
    case ';':
      return plural ? "semicolons" : "a semicolon";
    case '\t':
      return plural ? "tabs" : "a tab";
    default:
      return std::string(plural ? "" : "a ") + quotedValue(std::string(1, delimiter));
  }
}
std::string delimiterOption(char delimiter) {
  return delimiter == '\t' ? "tab" : "'" + std::string(1, delimiter) + "'";
}

// Whether text holds c outside double quotes.
bool holdsOutsideQuotes(const std::string& text, char c) {
  bool quoted = false;
  for (char b : text) {
    if (b == '"') quoted = !quoted;
    if (b == c && !quoted) return true;
  }
  return false;
}

const ColumnDef* knownColumn(const std::string& written) {
  std::string key = text::foldCase(trimBlanks(written));
  for (const ColumnDef& def : columnDefs()) {
    if (text::foldCase(def.name) == key) return &def;
  }
  return nullptr;
}

// The bytes of a list up to the end of its first line that holds more than
// line breaks and byte order mark bytes (a line break inside quotes does
// not end it): the header, read ahead to find its delimiter.
std::string readHeaderBytes(std::streambuf* source) {
  std::string bytes;
  bool quoted = false, content = false;
  for (;;) {
    int c = source->sbumpc();
    if (c == std::streambuf::traits_type::eof()) return bytes;
    bytes.push_back(static_cast<char>(c));
    if (c == '"') quoted = !quoted;
    if ((c == '\r' || c == '\n') && !quoted) {
      if (content) return bytes;
    } else if (c != 0xEF && c != 0xBB && c != 0xBF) {
      content = true;
    }
  }
}

// The delimiter of a header: of those it holds outside quotes, the one that
// splits it into the most known column names; a comma when it holds none.
char detectDelimiter(const std::string& header) {
  char best = ',';
  int bestKnown = -1;
  for (char delimiter : kDelimiters) {
    if (!holdsOutsideQuotes(header, delimiter)) continue;
    std::istringstream in(header);
    CsvReader reader(in, delimiter);
    CsvRecord record;
    reader.next(&record);
    int known = 0;
    for (const std::string& field : record.fields) {
      if (knownColumn(field) != nullptr) ++known;
    }
    if (known > bestKnown) {
      best = delimiter;
      bestKnown = known;
    }
  }
  return best;
}

// The header's bytes, read ahead, and then the rest of the list: what the
// CSV reader reads.
class HeaderThenRest : public std::streambuf {
 public:
  HeaderThenRest(std::string header, std::streambuf* rest)
      : header_(std::move(header)), rest_(rest) {
    setg(&header_[0], &header_[0], &header_[0] + header_.size());
  }
  const std::string& header() const { return header_; }

 protected:
  // Called only once the header's bytes are used up.
  int_type underflow() override { return rest_->sgetc(); }
  int_type uflow() override { return rest_->sbumpc(); }

 private:
  std::string header_;
  std::streambuf* rest_;
};

// Reads the station rows that follow a header.
class Parser {
 public:
  explicit Parser(const StationCsv::Options& options) : options_(options) {}

  StationCsvResult run(std::istream& in) {
    std::streambuf* source = in.rdbuf();
    std::unique_ptr<text::TextDecoder> decoder;
    if (!options_.encoding.empty()) {
      decoder = std::make_unique<text::TextDecoder>(source, options_.encoding);
      source = decoder.get();
    }
    decoder_ = decoder.get();
    HeaderThenRest input(readHeaderBytes(source), source);
    std::istream stream(&input);
    delimiter_ = options_.delimiter != 0 ? options_.delimiter : detectDelimiter(input.header());
    CsvReader reader(stream, delimiter_);
    reader_ = &reader;

    if (!readHeader(input.header())) {
      result_.fatal = true;
      return std::move(result_);
    }
    CsvRecord record;
    for (;;) {
      bool more = reader_->next(&record);
      if (stoppedByDecoding(more ? &record : nullptr) || !more) break;
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
      } else if (options_.mode == StationCsv::Mode::kStopAtFirstError) {
        break;
      }
    }
    bool refused = options_.mode == StationCsv::Mode::kStopAtFirstError && !result_.ok();
    if (!options_.keepDuplicates && !refused) dropDuplicates();
    return std::move(result_);
  }

 private:
  // A column of this file's header.
  struct FileColumn {
    std::string name;      // as written
    const ColumnDef* def;  // null for a column that is ignored
    std::string station;   // a station file's column: its name (see stationColumns)
  };

  void error(long line, const std::string& column, const std::string& message) {
    result_.errors.push_back({line, column, message});
  }
  void warning(long line, const std::string& column, const std::string& message) {
    result_.warnings.push_back({line, column, message});
  }

  // Whether the conversion from the list's character set stopped at bytes
  // that are no text in it, and the reader has come to them: record is what
  // the last next() gave (null for none); when the input ended inside it,
  // the bytes are in its last field. Reports the fault, which ends the list.
  bool stoppedByDecoding(const CsvRecord* record) {
    if (decoder_ == nullptr || decoder_->fault().empty()) return false;
    bool inside = record != nullptr && reader_->inputEnded();
    if (record != nullptr && !inside) return false;  // the fault lies on a later line
    // At the start of a line (no record) the bytes begin its first field.
    std::string column;
    if (inside && record->fields.size() <= columns_.size()) {
      column = columns_[record->fields.size() - 1].name;
    } else if (record == nullptr && !columns_.empty()) {
      column = columns_.front().name;
    }
    error(reader_->line(), column, decoder_->fault());
    result_.fatal = true;
    return true;
  }

  bool readHeader(const std::string& headerBytes) {
    CsvRecord header;
    bool got = reader_->next(&header);
    if (stoppedByDecoding(got ? &header : nullptr)) return false;
    if (!got) {
      error(0, "",
            "the file is empty; it needs a header row naming the columns name, state, country, "
            "continent, latitude and longitude (level and the others are optional)");
      return false;
    }
    std::vector<std::string> unknown;
    std::vector<bool> seen(columnDefs().size(), false);
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
      std::string written = trimBlanks(header.fields[i]);
      const ColumnDef* def = knownColumn(written);
      if (def != nullptr) {
        std::size_t k = static_cast<std::size_t>(def - columnDefs().data());
        if (seen[k]) {
          error(header.line, written, "the header names this column twice");
          return false;
        }
        seen[k] = true;
      } else if (std::string station; isStationColumn(written, &station)) {
        columns_.push_back({written, nullptr, station});
        continue;
      } else {
        unknown.push_back(written);
      }
      columns_.push_back({written, def, ""});
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
      std::string message = std::string("the header lacks the column") +
                            (missing.size() > 1 ? "s " : " ") + joinQuoted(missing);
      for (char other : kDelimiters) {
        if (other != delimiter_ && holdsOutsideQuotes(headerBytes, other)) {
          message += " (it holds " + delimiterName(other, true) + ": give --delimiter " +
                     delimiterOption(other) + " if they separate its columns)";
          break;
        }
      }
      error(header.line, "", message);
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
                std::to_string(columns_.size()) + " (a text holding " +
                delimiterName(delimiter_, false) + " must be quoted)");
      return false;
    }

    LocationData& d = row->record;
    for (const Field& f : locationFields()) {
      if (f.kind == FieldKind::kText)
        std::memset(reinterpret_cast<char*>(&d) + f.offset, 0, f.size);
    }
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      const ColumnDef* def = columns_[i].def;
      if (!columns_[i].station.empty()) {
        std::string fault =
            setStationFromText(&row->station, columns_[i].station, record.fields[i]);
        if (!fault.empty()) {
          error(line, columns_[i].name, fault);
          return false;
        }
        continue;
      }
      if (def == nullptr) continue;
      const Field& f = *def->field;
      const std::string& text = record.fields[i];
      std::size_t bad = text::findInvalidUtf8(text);
      if (bad != std::string::npos) {
        error(line, columns_[i].name, notUtf8(text, bad));
        return false;
      }
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

  // Why a field whose byte at offset bad begins no UTF-8 character is
  // refused. Converted text is UTF-8 throughout; the hint is for a list read
  // as it is.
  std::string notUtf8(const std::string& field, std::size_t bad) const {
    return text::notUtf8Reason(field, bad, options_.encoding.empty());
  }

  void dropDuplicates() { dropDuplicateRows(&result_); }

  StationCsv::Options options_;
  text::TextDecoder* decoder_ = nullptr;
  CsvReader* reader_ = nullptr;
  char delimiter_ = ',';
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

StationCsvResult StationCsv::parse(std::istream& in, const Options& options) {
  return Parser(options).run(in);
}

StationCsvResult StationCsv::parse(std::istream& in, Mode mode) {
  Options options;
  options.mode = mode;
  return parse(in, options);
}

void StationCsv::writeHeader(std::ostream& out, bool withStations) {
  const auto& defs = columnDefs();
  for (std::size_t i = 0; i < defs.size(); ++i) {
    if (i > 0) out << ',';
    out << defs[i].name;
  }
  if (withStations) {
    for (const char* c : kExportedStationColumns) out << ',' << c;
  }
  out << '\n';
}

void StationCsv::writeRecord(std::ostream& out, const LocationData& d, const StationInfo* info) {
  std::ostringstream row;
  writeRecord(row, d);
  std::string text = row.str();
  text.pop_back();
  out << text;
  for (const char* c : kExportedStationColumns) {
    out << ',';
    if (info != nullptr) writeText(out, stationValueText(*info, c));
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
