#include "tool/database/BulkEdit.h"

#include <cstring>

#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/database/RecordEditor.h"
#include "tool/database/RecordReplacement.h"
#include "tool/record/NameLevels.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

template <std::size_t N>
void takeField(char (&to)[N], const char (&from)[N]) {
  std::memcpy(to, from, N);
}

}  // namespace

bool PlannedChange::moves() const {
  return !text::equalIgnoringCase(fieldText(before.continent), fieldText(after.continent)) ||
         !text::equalIgnoringCase(fieldText(before.country), fieldText(after.country)) ||
         !text::equalIgnoringCase(fieldText(before.state), fieldText(after.state)) ||
         !text::equalIgnoringCase(fieldText(before.name), fieldText(after.name)) ||
         before.level != after.level || !sameBits(before.latitude, after.latitude) ||
         !sameBits(before.longitude, after.longitude);
}

void BulkEdit::assign(const std::vector<long>& indices,
                      const std::vector<FieldAssignment>& assignments,
                      std::vector<std::string>* warnings) {
  std::vector<bool> warned(assignments.size(), false);
  for (long index : indices) {
    checkPoint();
    LocationData before = read(index);
    LocationData after = before;
    for (std::size_t i = 0; i < assignments.size(); ++i) {
      std::string cut;
      std::string fault = assignments[i].applyTo(&after, &cut);
      if (!fault.empty()) {
        throw Error("Record " + std::to_string(index) + ", " + assignments[i].column() + ": " +
                        fault + "; nothing was changed.",
                    Error::Cause::kBadInput);
      }
      if (!cut.empty() && !warned[i]) {
        warnings->push_back(assignments[i].column() + ": " + cut + ".");
        warned[i] = true;
      }
    }
    // What the record brought must make a station too.
    for (const Field& f : locationFields()) {
      if (f.kind == FieldKind::kText && !f.mayBeEmpty && fieldValueText(after, f, 0).empty()) {
        throw Error("Record " + std::to_string(index) + " has no " + f.column + "; give it one (" +
                        f.column + "=...) to change the record; nothing was changed.",
                    Error::Cause::kBadInput);
      }
    }
    adoptGroupNames(before, &after);
    plan(index, before, after);
  }
}

void BulkEdit::rename(const LocationPath& path, const std::string& newName,
                      std::vector<std::string>* warnings) {
  std::size_t level = path.parts.size() - 1;
  FieldAssignment assignment;
  assignment.field = nameLevels()[level].field;
  assignment.value = newName;
  LocationData scratch{};
  std::string cut;
  std::string fault = assignment.applyTo(&scratch, &cut);
  if (!fault.empty()) {
    throw Error(text::quoted(newName) + " cannot name a " + nameLevels()[level].noun + ": " +
                    fault + "; nothing was renamed.",
                Error::Cause::kBadInput);
  }
  if (!cut.empty()) warnings->push_back(cut + ".");

  Directory* directory = access_.db()->directory;
  std::vector<Location*> under = path.find(directory);
  if (under.empty()) {
    throw Error("No location is under " + text::quoted(path.toString()) + "; nothing was renamed.",
                Error::Cause::kNotFound);
  }
  // Only the letter case changes: the group keeps its place, and takes the
  // name as given rather than the one it has.
  bool caseOnly =
      text::equalIgnoringCase(path.parts.back(), fieldValueText(scratch, *assignment.field, 0));
  joining_ = 0;
  if (!caseOnly) {
    LocationPath target = path;
    target.parts.back() = fieldValueText(scratch, *assignment.field, 0);
    joining_ = static_cast<long>(target.find(directory).size());
  }
  for (Location* loc : under) {
    checkPoint();
    LocationData before = read(loc->locationIndex);
    LocationData after = before;
    assignment.applyTo(&after, nullptr);
    if (!caseOnly) adoptGroupNames(before, &after);
    plan(loc->locationIndex, before, after);
  }
}

void BulkEdit::check() const {
  std::vector<RecordReplacement::Replacement> replacements;
  replacements.reserve(changes_.size());
  for (const PlannedChange& c : changes_) replacements.emplace_back(c.index, c.after);
  RecordReplacement(access_).check(replacements);
}

void BulkEdit::apply(ProgressInfo& info) {
  std::vector<RecordReplacement::Replacement> replacements;
  replacements.reserve(changes_.size());
  for (const PlannedChange& c : changes_) replacements.emplace_back(c.index, c.after);
  RecordReplacement(access_).replaceAll(replacements, info);
}

LocationData BulkEdit::read(long index) {
  if (index < 0 || index >= access_.recordCount()) {
    throw Error("There is no record " + std::to_string(index) + ": the data file holds " +
                    text::plural(access_.recordCount(), "record", "records") + ".",
                Error::Cause::kNotFound);
  }
  LocationData record;
  access_.db()->getLocationData(index, record);
  return record;
}

void BulkEdit::plan(long index, const LocationData& before, const LocationData& after) {
  ++considered_;
  std::vector<FieldDifference> differs = differences(before, after);
  if (differs.empty()) return;
  changes_.push_back(PlannedChange{index, before, after, std::move(differs)});
}

void BulkEdit::adoptGroupNames(const LocationData& before, LocationData* after) const {
  LocationData adopted = *after;
  RecordEditor(access_).adoptGroupNames(&adopted);
  // The names from the first that changes down take the directory's letter
  // case (the groups below a group that joins another join that one's):
  // the others keep their bytes.
  bool changed = fieldText(after->continent) != fieldText(before.continent);
  if (changed) takeField(after->continent, adopted.continent);
  changed = changed || fieldText(after->country) != fieldText(before.country);
  if (changed) takeField(after->country, adopted.country);
  changed = changed || fieldText(after->state) != fieldText(before.state);
  if (changed) takeField(after->state, adopted.state);
}

}  // namespace metdb
