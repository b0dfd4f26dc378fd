#include "cli/RecordOptions.h"

#include <CLI/CLI.hpp>

#include "tool/text/Text.h"

namespace metdb {

namespace {

// Sets the elements of field in *record from an option's value (a series:
// twelve values separated by commas). Returns "" or the fault as a phrase;
// a name's cut is described in *warning.
std::string setFromOption(LocationData* record, const Field& field, const std::string& value,
                          std::string* warning) {
  if (!field.isSeries()) return setFieldFromText(record, field, 0, value, warning);
  std::vector<std::string> parts = text::split(value, ',');
  if (parts.size() != static_cast<std::size_t>(field.elements)) {
    return "needs twelve values separated by commas, not " + std::to_string(parts.size());
  }
  for (int m = 0; m < field.elements; ++m) {
    std::string fault = setFieldFromText(record, field, m, parts[m], warning);
    if (!fault.empty()) return "value " + std::to_string(m + 1) + ": " + fault;
  }
  return "";
}

}  // namespace

void RecordOptions::addOptions(CLI::App* command, bool required) {
  given_.clear();
  given_.reserve(locationFields().size());
  for (const Field& field : locationFields()) {
    given_.push_back(Given{&field, "", nullptr});
    Given& g = given_.back();
    const Field* f = &field;
    g.registered = command->add_option(field.option, g.value, field.help)
                       ->type_name(field.valueName)
                       ->check(
                           [f](const std::string& value) {
                             LocationData scratch;
                             return setFromOption(&scratch, *f, value, nullptr);
                           },
                           "");
    if (required && field.requiredToAdd) g.registered->required();
  }
}

bool RecordOptions::anyGiven() const {
  for (const Given& g : given_) {
    if (g.registered != nullptr && g.registered->count() > 0) return true;
  }
  return false;
}

bool RecordOptions::apply(const LocationData& base, LocationData* record,
                          std::vector<std::string>* warnings, std::string* error) const {
  *record = base;
  for (const Given& g : given_) {
    if (g.registered == nullptr || g.registered->count() == 0) continue;
    std::string cut;
    std::string fault = setFromOption(record, *g.field, g.value, &cut);
    if (!fault.empty()) {
      *error = std::string(g.field->option) + ": " + fault;
      return false;
    }
    if (!cut.empty()) warnings->push_back(std::string(g.field->option) + ": " + cut + ".");
  }
  // What base brought must make a station too: its names must not be empty.
  for (const Field& f : locationFields()) {
    if (f.kind == FieldKind::kText && !f.mayBeEmpty && fieldValueText(*record, f, 0).empty()) {
      *error = "the " + std::string(f.column) + ": the field is empty";
      return false;
    }
  }
  return true;
}

}  // namespace metdb
