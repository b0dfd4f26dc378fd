#include "tool/record/StationCsv.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <system_error>

#include "tool/CheckPoint.h"
#include "tool/record/CsvReader.h"

namespace metdb {

namespace {

// Which part of a record a column fills.
enum class Target {
  kName,
  kState,
  kCountry,
  kContinent,
  kLevel,
  kLatitude,
  kLongitude,
  kAuxValue,
  kSeriesA,
  kSeriesB,
  kSeriesC,
  kSeriesD,
  kSeriesE,
};

struct ColumnDef {
  std::string name;  // as written in the header
  Target target;
  int month;  // 0..11 for the series, else 0
  bool required;
};

constexpr int kRequiredColumns = 7;

// Every known column, in the order the writer puts them.
const std::vector<ColumnDef>& columnDefs() {
  static const std::vector<ColumnDef> defs = [] {
    std::vector<ColumnDef> s = {
        {"name", Target::kName, 0, true},           {"state", Target::kState, 0, true},
        {"country", Target::kCountry, 0, true},     {"continent", Target::kContinent, 0, true},
        {"level", Target::kLevel, 0, true},         {"latitude", Target::kLatitude, 0, true},
        {"longitude", Target::kLongitude, 0, true}, {"auxValue", Target::kAuxValue, 0, false},
    };
    const std::pair<const char*, Target> series[] = {
        {"seriesA", Target::kSeriesA}, {"seriesB", Target::kSeriesB}, {"seriesC", Target::kSeriesC},
        {"seriesD", Target::kSeriesD}, {"seriesE", Target::kSeriesE},
    };
    for (const auto& [prefix, target] : series) {
      for (int m = 0; m < 12; ++m) {
        s.push_back({std::string(prefix) + std::to_string(m + 1), target, m, false});
      }
    }
    return s;
  }();
  return defs;
}

std::string asciiLower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trimBlanks(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && isBlank(s[b])) ++b;
  while (e > b && isBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// The longest prefix of text of at most max bytes that does not end inside a
// UTF-8 multi-byte sequence. Only a sequence that the cut would split is
// dropped, so at most three bytes less than max are kept: continuation bytes
// with no lead byte before them are not UTF-8 and are cut like any byte
// (dropping all of them could leave a name empty).
std::string cutUtf8(const std::string& text, std::size_t max) {
  if (text.size() <= max) return text;
  auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  // text[max] is the first byte left out; find the lead byte of its sequence.
  std::size_t lead = max;
  while (lead > 0 && max - lead < 3 && (byte(lead) & 0xC0) == 0x80) --lead;
  if (lead < max && byte(lead) >= 0xC0) {
    std::size_t length = byte(lead) >= 0xF0 ? 4 : byte(lead) >= 0xE0 ? 3 : 2;
    if (lead + length > max) return text.substr(0, lead);
  }
  return text.substr(0, max);
}

// A value quoted for a message: control characters shown as '?', long values
// shortened, so that a message stays one readable line.
std::string quoted(const std::string& value) {
  constexpr std::size_t kMax = 40;
  std::string shown = cutUtf8(value, kMax);
  bool shortened = shown.size() < value.size();
  for (char& ch : shown) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7f) ch = '?';
  }
  if (shortened) shown += "...";
  return "\"" + shown + "\"";
}

std::string joinQuoted(const std::vector<std::string>& names) {
  std::string out;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += (i + 1 == names.size()) ? " and " : ", ";
    out += quoted(names[i]);
  }
  return out;
}

bool hasControl(const std::string& text) {
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7f) return true;
  }
  return false;
}

// Parses a whole number, allowing surrounding blanks and a leading '+'.
// Returns false with *message set when it fails or lies outside lo..hi.
bool parseInteger(const std::string& raw, long lo, long hi, long* value, std::string* message) {
  std::string text = trimBlanks(raw);
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+' && end - begin > 1 && begin[1] != '-' && begin[1] != '+') {
    ++begin;
  }
  long long v = 0;
  auto [ptr, ec] = std::from_chars(begin, end, v);
  if (begin == end || ptr != end || (ec != std::errc() && ec != std::errc::result_out_of_range)) {
    *message = quoted(raw) + " does not parse as a whole number";
    return false;
  }
  if (ec == std::errc::result_out_of_range || v < lo || v > hi) {
    *message = quoted(text) + " is outside " + std::to_string(lo) + ".." + std::to_string(hi);
    return false;
  }
  *value = static_cast<long>(v);
  return true;
}

// Parses a number into a 32-bit float, allowing surrounding blanks and a
// leading '+'; refuses non-finite values and values a float cannot hold.
bool parseFloat(const std::string& raw, float* value, std::string* message) {
  std::string text = trimBlanks(raw);
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+' && end - begin > 1 && begin[1] != '-' && begin[1] != '+') {
    ++begin;
  }
  float v = 0.0f;
  auto [ptr, ec] = std::from_chars(begin, end, v, std::chars_format::general);
  if (begin == end || ptr != end || (ec != std::errc() && ec != std::errc::result_out_of_range) ||
      (ec == std::errc() && !std::isfinite(v))) {
    *message = quoted(raw) + " does not parse as a number";
    return false;
  }
  if (ec == std::errc::result_out_of_range) {
    *message = quoted(text) + " cannot be held in a 32-bit float";
    return false;
  }
  *value = v;
  return true;
}

template <std::size_t N>
void setText(char (&field)[N], const std::string& text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), text.size() < N - 1 ? text.size() : N - 1);
}

// The record is packed: its series lie at odd offsets, so they are reached
// by member access (which the compiler knows to be unaligned) or copied as
// bytes, never through a float* or std::int16_t*.
void setFloatSeries(LocationData* d, Target target, int month, float value) {
  switch (target) {
    case Target::kSeriesA:
      d->seriesA[month] = value;
      break;
    case Target::kSeriesB:
      d->seriesB[month] = value;
      break;
    case Target::kSeriesD:
      d->seriesD[month] = value;
      break;
    default:
      d->seriesE[month] = value;
      break;
  }
}

// A copy of the twelve values of a series that starts at byte offset.
template <typename T>
std::array<T, 12> seriesAt(const LocationData& d, std::size_t offset) {
  std::array<T, 12> values;
  std::memcpy(values.data(), reinterpret_cast<const char*>(&d) + offset, sizeof(T) * 12);
  return values;
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
            "continent, level, latitude and longitude");
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
    for (int k = 0; k < kRequiredColumns; ++k) {
      if (!seen[k]) missing.push_back(columnDefs()[k].name);
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
    setText(d.name, "");
    setText(d.state, "");
    setText(d.country, "");
    setText(d.continent, "");
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      const ColumnDef* def = columns_[i].def;
      if (def == nullptr) continue;
      if (!setField(*def, columns_[i].name, record.fields[i], line, &d)) return false;
    }
    return true;
  }

  template <std::size_t N>
  bool setName(char (&field)[N], const std::string& column, const std::string& text, long line,
               bool mayBeEmpty) {
    if (text.empty() && !mayBeEmpty) {
      error(line, column, "the field is empty");
      return false;
    }
    if (hasControl(text)) {
      error(line, column,
            quoted(text) +
                " holds a control character such as a line break, which a name "
                "cannot hold");
      return false;
    }
    std::string cut = cutUtf8(text, N - 1);
    if (cut.size() != text.size()) {
      warning(line, column,
              quoted(text) + " is longer than " + std::to_string(N - 1) + " bytes and is cut to " +
                  quoted(cut));
    }
    setText(field, cut);
    return true;
  }

  bool setField(const ColumnDef& def, const std::string& column, const std::string& text, long line,
                LocationData* d) {
    std::string message;
    bool numeric = def.target != Target::kName && def.target != Target::kState &&
                   def.target != Target::kCountry && def.target != Target::kContinent;
    if (numeric && trimBlanks(text).empty()) {
      if (def.required) {
        error(line, column, "the field is empty");
        return false;
      }
      return true;  // an absent optional value stays 0
    }
    long whole = 0;
    float real = 0.0f;
    switch (def.target) {
      case Target::kName:
        return setName(d->name, column, text, line, false);
      case Target::kState:
        return setName(d->state, column, text, line, true);
      case Target::kCountry:
        return setName(d->country, column, text, line, false);
      case Target::kContinent:
        return setName(d->continent, column, text, line, false);
      case Target::kLevel:
        if (!parseInteger(text, -128, 127, &whole, &message)) break;
        d->level = static_cast<std::int8_t>(whole);
        return true;
      case Target::kLatitude:
        if (!parseFloat(text, &real, &message)) break;
        if (real < -90.0f || real > 90.0f) {
          message = quoted(trimBlanks(text)) + " is outside -90..90";
          break;
        }
        d->latitude = real;
        return true;
      case Target::kLongitude:
        if (!parseFloat(text, &real, &message)) break;
        if (real < -180.0f || real > 180.0f) {
          message = quoted(trimBlanks(text)) + " is outside -180..180";
          break;
        }
        d->longitude = real;
        return true;
      case Target::kAuxValue:
        if (!parseInteger(text, -32768, 32767, &whole, &message)) break;
        d->auxValue = static_cast<std::int16_t>(whole);
        return true;
      case Target::kSeriesC:
        if (!parseInteger(text, -32768, 32767, &whole, &message)) break;
        d->seriesC[def.month] = static_cast<std::int16_t>(whole);
        return true;
      case Target::kSeriesA:
      case Target::kSeriesB:
      case Target::kSeriesD:
      case Target::kSeriesE:
        if (!parseFloat(text, &real, &message)) break;
        setFloatSeries(d, def.target, def.month, real);
        return true;
    }
    error(line, column, message);
    return false;
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

void writeFloat(std::ostream& out, float value) {
  std::array<char, 64> buf;
  auto [ptr, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), value);
  (void)ec;  // 64 bytes hold any float
  out.write(buf.data(), ptr - buf.data());
}

}  // namespace

std::string StationCsvIssue::describe(const std::string& source) const {
  std::string where = source;
  if (line > 0) where += (where.empty() ? "line " : ", line ") + std::to_string(line);
  if (!column.empty()) where += (where.empty() ? "column " : ", column ") + quoted(column);
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
  writeText(out, fieldText(d.name));
  out << ',';
  writeText(out, fieldText(d.state));
  out << ',';
  writeText(out, fieldText(d.country));
  out << ',';
  writeText(out, fieldText(d.continent));
  out << ',' << static_cast<int>(d.level) << ',';
  writeFloat(out, d.latitude);
  out << ',';
  writeFloat(out, d.longitude);
  out << ',' << d.auxValue;
  // In record order: seriesA, seriesB (floats), seriesC (whole numbers),
  // seriesD, seriesE (floats).
  auto floats = [&](std::size_t offset) {
    for (float v : seriesAt<float>(d, offset)) {
      out << ',';
      writeFloat(out, v);
    }
  };
  floats(offsetof(LocationData, seriesA));
  floats(offsetof(LocationData, seriesB));
  for (std::int16_t v : seriesAt<std::int16_t>(d, offsetof(LocationData, seriesC))) {
    out << ',' << v;
  }
  floats(offsetof(LocationData, seriesD));
  floats(offsetof(LocationData, seriesE));
  out << '\n';
}

void StationCsv::write(std::ostream& out, const std::vector<LocationData>& records) {
  writeHeader(out);
  for (const LocationData& d : records) writeRecord(out, d);
}

}  // namespace metdb
