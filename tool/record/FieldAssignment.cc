#include "tool/record/FieldAssignment.h"

#include "tool/text/Text.h"

namespace metdb {

namespace {

std::string fieldNames() {
  std::string out;
  for (const Field& f : locationFields()) out += std::string(out.empty() ? "" : ", ") + f.column;
  return out;
}

}  // namespace

std::string FieldAssignment::parse(const std::string& text, FieldAssignment* assignment) {
  std::size_t equals = text.find('=');
  if (equals == std::string::npos) {
    return text::quoted(text) + " is no FIELD=VALUE, such as level=2";
  }
  std::string column = text.substr(0, equals);
  int element = 0;
  const Field* field = fieldOfColumn(column, &element);
  if (field == nullptr) {
    // A series' column without its month gives the whole series.
    for (const Field& f : locationFields()) {
      if (f.isSeries() && text::equalIgnoringCase(column, f.column)) {
        field = &f;
        element = -1;
      }
    }
  }
  if (field == nullptr) {
    return text::quoted(column) + " is no field; the fields are " + fieldNames() +
           " (a series whole, or one month as seriesC7)";
  }
  FieldAssignment parsed;
  parsed.field = field;
  parsed.element = field->isSeries() ? element : -1;
  parsed.value = text.substr(equals + 1);
  if (field->kind != FieldKind::kText && text::trimBlanks(parsed.value).empty()) {
    return parsed.column() + ": the value is empty";
  }
  LocationData scratch{};
  std::string fault = parsed.applyTo(&scratch, nullptr);
  if (!fault.empty()) return parsed.column() + ": " + fault;
  *assignment = parsed;
  return "";
}

std::string FieldAssignment::column() const {
  return element < 0 ? std::string(field->column) : columnName(*field, element);
}

std::string FieldAssignment::applyTo(LocationData* record, std::string* warning) const {
  if (!field->isSeries()) return setFieldFromText(record, *field, 0, value, warning);
  if (element >= 0) return setFieldFromText(record, *field, element, value, warning);
  std::vector<std::string> parts = text::split(value, ',');
  if (parts.size() != static_cast<std::size_t>(field->elements)) {
    return "needs twelve values separated by commas, not " + std::to_string(parts.size());
  }
  for (int m = 0; m < field->elements; ++m) {
    std::string fault = setFieldFromText(record, *field, m, parts[m], warning);
    if (!fault.empty()) return "value " + std::to_string(m + 1) + ": " + fault;
  }
  return "";
}

bool overlap(const FieldAssignment& a, const FieldAssignment& b) {
  return a.field == b.field && (a.element < 0 || b.element < 0 || a.element == b.element);
}

}  // namespace metdb
