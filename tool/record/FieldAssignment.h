#ifndef METDB_TOOL_RECORD_FIELDASSIGNMENT_H_
#define METDB_TOOL_RECORD_FIELDASSIGNMENT_H_

#include <string>
#include <vector>

#include "datafile/LocationData.h"
#include "tool/record/Fields.h"

namespace metdb {

// A new value for one field of a record, written FIELD=VALUE: FIELD is a
// column of the field table (locationFields) ignoring case, such as
// "country", "level" or "auxValue"; a series is given whole ("seriesC",
// twelve values separated by commas) or one element at a time ("seriesC7").
// The value is checked by the field's own rules, the same as a station
// list's.
struct FieldAssignment {
  const Field* field = nullptr;
  // The series element, or -1 for every element of the field.
  int element = -1;
  std::string value;

  // Parses text, "FIELD=VALUE", into *assignment and checks the value.
  // Returns "" when it is one, else what is wrong as a phrase without a
  // period (an unknown field names the fields there are).
  static std::string parse(const std::string& text, FieldAssignment* assignment);

  // The column it sets: "country", "seriesC", "seriesC7".
  std::string column() const;

  // Sets the field (or element) in *record. Returns "" when set, else the
  // fault as a phrase without a period, with *record unchanged but for the
  // elements of a series set before the faulty one. A name's cut is
  // described in *warning, when given.
  std::string applyTo(LocationData* record, std::string* warning) const;
};

// Whether two assignments set a field, or element, in common.
bool overlap(const FieldAssignment& a, const FieldAssignment& b);

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_FIELDASSIGNMENT_H_
