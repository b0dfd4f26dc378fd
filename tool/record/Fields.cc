#include "tool/record/Fields.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "tool/record/NameField.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

constexpr double kNone = std::numeric_limits<double>::infinity();

using text::isBlank;
using text::trimBlanks;

bool hasControl(const std::string& text) {
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7f) return true;
  }
  return false;
}

std::string outsideRange(const std::string& written, const Field& field) {
  if (field.kind == FieldKind::kWhole) {
    return quotedValue(written) + " is outside " + std::to_string(static_cast<long>(field.min)) +
           ".." + std::to_string(static_cast<long>(field.max));
  }
  return quotedValue(written) + " is outside " +
         text::shortestFloat(static_cast<float>(field.min)) + ".." +
         text::shortestFloat(static_cast<float>(field.max));
}

std::string parseWhole(const std::string& raw, const Field& f, long* value) {
  long long v = 0;
  text::NumberText read = text::readNumber(raw, &v);
  if (read == text::NumberText::kNotNumber) {
    return quotedValue(raw) + " does not parse as a whole number";
  }
  if (read == text::NumberText::kOutOfRange || v < f.min || v > f.max) {
    return outsideRange(trimBlanks(raw), f);
  }
  *value = static_cast<long>(v);
  return "";
}

std::string parseReal(const std::string& raw, const Field& f, float* value) {
  float v = 0.0f;
  text::NumberText read = text::readNumber(raw, &v);
  if (read == text::NumberText::kNotNumber) return quotedValue(raw) + " does not parse as a number";
  if (read == text::NumberText::kOutOfRange) {
    return quotedValue(trimBlanks(raw)) + " cannot be held in a 32-bit float";
  }
  if (v < f.min || v > f.max) return outsideRange(trimBlanks(raw), f);
  *value = v;
  return "";
}

char* at(LocationData* r, const Field& f, int element) {
  return reinterpret_cast<char*>(r) + f.offset + static_cast<std::size_t>(element) * f.size;
}
const char* at(const LocationData& r, const Field& f, int element) {
  return reinterpret_cast<const char*>(&r) + f.offset + static_cast<std::size_t>(element) * f.size;
}

}  // namespace

const std::vector<Field>& locationFields() {
  // Offsets and sizes from the record itself, so that the table cannot
  // drift from it; the record is packed, so values are reached by copying
  // bytes, never through a typed pointer.
  static const std::vector<Field> fields = {
      {"name", "--name", "The location's name (at most 20 bytes)", "TEXT", FieldKind::kText,
       offsetof(LocationData, name), sizeof(LocationData::name), 1, 0, 0, true, true, false},
      {"state", "--state", "Its state (at most 30 bytes; may be empty)", "TEXT", FieldKind::kText,
       offsetof(LocationData, state), sizeof(LocationData::state), 1, 0, 0, true, false, true},
      {"country", "--country", "Its country (at most 30 bytes)", "TEXT", FieldKind::kText,
       offsetof(LocationData, country), sizeof(LocationData::country), 1, 0, 0, true, true, false},
      {"continent", "--continent", "Its continent (at most 20 bytes)", "TEXT", FieldKind::kText,
       offsetof(LocationData, continent), sizeof(LocationData::continent), 1, 0, 0, true, true,
       false},
      {"level", "--level", "Its level, -128..127 (default 1)", "N", FieldKind::kWhole,
       offsetof(LocationData, level), 1, 1, -128, 127, false, false, false},
      {"latitude", "--latitude", "Latitude in degrees, -90..90", "DEGREES", FieldKind::kReal,
       offsetof(LocationData, latitude), 4, 1, -90, 90, true, true, false},
      {"longitude", "--longitude", "Longitude in degrees, -180..180", "DEGREES", FieldKind::kReal,
       offsetof(LocationData, longitude), 4, 1, -180, 180, true, true, false},
      {"auxValue", "--aux-value", "The application value, -32768..32767", "N", FieldKind::kWhole,
       offsetof(LocationData, auxValue), 2, 1, -32768, 32767, false, false, false},
      {"seriesA", "--series-a", "Twelve numbers for series A, separated by commas", "V1,..,V12",
       FieldKind::kReal, offsetof(LocationData, seriesA), 4, 12, -kNone, kNone, false, false,
       false},
      {"seriesB", "--series-b", "Twelve numbers for series B", "V1,..,V12", FieldKind::kReal,
       offsetof(LocationData, seriesB), 4, 12, -kNone, kNone, false, false, false},
      {"seriesC", "--series-c", "Twelve whole numbers for series C, -32768..32767", "V1,..,V12",
       FieldKind::kWhole, offsetof(LocationData, seriesC), 2, 12, -32768, 32767, false, false,
       false},
      {"seriesD", "--series-d", "Twelve numbers for series D", "V1,..,V12", FieldKind::kReal,
       offsetof(LocationData, seriesD), 4, 12, -kNone, kNone, false, false, false},
      {"seriesE", "--series-e", "Twelve numbers for series E", "V1,..,V12", FieldKind::kReal,
       offsetof(LocationData, seriesE), 4, 12, -kNone, kNone, false, false, false},
  };
  return fields;
}

const Field* fieldOfColumn(const std::string& column, int* element) {
  std::string key = text::foldCase(column);
  for (const Field& f : locationFields()) {
    std::string name = text::foldCase(f.column);
    if (!f.isSeries()) {
      if (key == name) {
        *element = 0;
        return &f;
      }
      continue;
    }
    if (key.compare(0, name.size(), name) != 0) continue;
    std::string month = key.substr(name.size());
    for (int m = 0; m < f.elements; ++m) {
      if (month == std::to_string(m + 1)) {
        *element = m;
        return &f;
      }
    }
  }
  return nullptr;
}

std::string columnName(const Field& field, int element) {
  return field.isSeries() ? field.column + std::to_string(element + 1) : field.column;
}

float realValue(const LocationData& record, const Field& field, int element) {
  float v = 0;
  if (field.kind == FieldKind::kReal) std::memcpy(&v, at(record, field, element), sizeof v);
  return v;
}

long wholeValue(const LocationData& record, const Field& field, int element) {
  if (field.kind != FieldKind::kWhole) return 0;
  if (field.size == 1) {
    std::int8_t v;
    std::memcpy(&v, at(record, field, element), sizeof v);
    return v;
  }
  std::int16_t v;
  std::memcpy(&v, at(record, field, element), sizeof v);
  return v;
}

std::string fieldValueText(const LocationData& record, const Field& field, int element) {
  switch (field.kind) {
    case FieldKind::kText: {
      const char* text = at(record, field, element);
      const void* end = std::memchr(text, '\0', field.size);
      return std::string(text, end ? static_cast<const char*>(end) - text : field.size);
    }
    case FieldKind::kWhole:
      return std::to_string(wholeValue(record, field, element));
    case FieldKind::kReal:
      return text::shortestFloat(realValue(record, field, element));
  }
  return "";
}

std::string setFieldFromText(LocationData* record, const Field& field, int element,
                             const std::string& text, std::string* warning) {
  if (field.kind == FieldKind::kText) {
    if (text.empty() && !field.mayBeEmpty) return "the field is empty";
    if (hasControl(text)) {
      return quotedValue(text) +
             " holds a control character such as a line break, which a name cannot hold";
    }
    std::string cut = setNameField(at(record, field, element), field.size, text);
    if (cut.size() != text.size() && warning != nullptr) {
      *warning = quotedValue(text) + " is longer than " + std::to_string(field.size - 1) +
                 " bytes and is cut to " + quotedValue(cut);
    }
    return "";
  }
  if (trimBlanks(text).empty()) return "";
  if (field.kind == FieldKind::kWhole) {
    long v = 0;
    std::string fault = parseWhole(text, field, &v);
    if (!fault.empty()) return fault;
    return setFieldFromWhole(record, field, element, v, text);
  }
  float v = 0;
  std::string fault = parseReal(text, field, &v);
  if (!fault.empty()) return fault;
  return setFieldFromReal(record, field, element, v, text);
}

std::string setFieldFromWhole(LocationData* record, const Field& field, int element,
                              long long value, const std::string& written) {
  if (field.kind == FieldKind::kReal) {
    return setFieldFromReal(record, field, element, static_cast<double>(value), written);
  }
  if (field.kind != FieldKind::kWhole) return quotedValue(written) + " is no name";
  if (value < field.min || value > field.max) return outsideRange(written, field);
  if (field.size == 1) {
    std::int8_t b = static_cast<std::int8_t>(value);
    std::memcpy(at(record, field, element), &b, sizeof b);
  } else {
    std::int16_t w = static_cast<std::int16_t>(value);
    std::memcpy(at(record, field, element), &w, sizeof w);
  }
  return "";
}

std::string setFieldFromReal(LocationData* record, const Field& field, int element, double value,
                             const std::string& written) {
  if (field.kind == FieldKind::kWhole) {
    return quotedValue(written) + " does not parse as a whole number";
  }
  if (field.kind != FieldKind::kReal) return quotedValue(written) + " is no name";
  if (std::isnan(value)) return quotedValue(written) + " does not parse as a number";
  if (!(std::fabs(value) <= std::numeric_limits<float>::max())) {
    return quotedValue(written) + " cannot be held in a 32-bit float";
  }
  float v = static_cast<float>(value);
  if (v < field.min || v > field.max) return outsideRange(written, field);
  std::memcpy(at(record, field, element), &v, sizeof v);
  return "";
}

std::vector<FieldDifference> differences(const LocationData& before, const LocationData& after) {
  std::vector<FieldDifference> out;
  for (const Field& f : locationFields()) {
    for (int m = 0; m < f.elements; ++m) {
      std::string was = fieldValueText(before, f, m);
      std::string now = fieldValueText(after, f, m);
      if (was != now) out.push_back({&f, columnName(f, m), was, now});
    }
  }
  return out;
}

std::string quotedValue(const std::string& value) { return text::quoted(value, 40); }

}  // namespace metdb
