#include "cli/RecordOptions.h"

#include <CLI/CLI.hpp>

#include "tool/record/FieldAssignment.h"

namespace metdb {

namespace {

// Sets field in *record from an option's value (a series: twelve values
// separated by commas). Returns "" or the fault as a phrase; a name's cut is
// described in *warning.
std::string setFromOption(LocationData* record, const Field& field, const std::string& value,
                          std::string* warning) {
  FieldAssignment assignment;
  assignment.field = &field;
  assignment.value = value;
  return assignment.applyTo(record, warning);
}

}  // namespace

void RecordOptions::addOptions(CLI::App* command, bool required) {
  given_.clear();
  given_.reserve(locationFields().size());
  for (const Field& field : locationFields()) {
    given_.push_back(Given{&field, "", nullptr});
    Given& g = given_.back();
    if (CLI::Option* there = command->get_option_no_throw(field.option)) {
      // Registered by the command already (a filter of the same name): its
      // value is read from there, and checked when applied.
      g.registered = there;
      g.shared = true;
      continue;
    }
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

const Field* RecordOptions::firstOwnGiven() const {
  for (const Given& g : given_) {
    if (!g.shared && g.registered != nullptr && g.registered->count() > 0) return g.field;
  }
  return nullptr;
}

std::vector<FieldAssignment> RecordOptions::assignments() const {
  std::vector<FieldAssignment> out;
  for (const Given& g : given_) {
    if (g.registered == nullptr || g.registered->count() == 0) continue;
    FieldAssignment a;
    a.field = g.field;
    a.value = value(g);
    out.push_back(a);
  }
  return out;
}

std::string RecordOptions::value(const Given& g) {
  if (!g.shared) return g.value;
  const std::vector<std::string>& results = g.registered->results();
  return results.empty() ? std::string() : results.back();
}

bool RecordOptions::apply(const LocationData& base, LocationData* record,
                          std::vector<std::string>* warnings, std::string* error) const {
  *record = base;
  for (const Given& g : given_) {
    if (g.registered == nullptr || g.registered->count() == 0) continue;
    std::string cut;
    std::string fault = setFromOption(record, *g.field, value(g), &cut);
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
