#ifndef METDB_TOOL_RECORD_FIELDS_H_
#define METDB_TOOL_RECORD_FIELDS_H_

#include <cstddef>
#include <string>
#include <vector>

#include "datafile/LocationData.h"

namespace metdb {

// What a field of LocationData holds.
enum class FieldKind {
  kText,   // a name field: bytes up to the first NUL
  kWhole,  // a signed integer (int8 or int16)
  kReal,   // a 32-bit float
};

// One field of LocationData, as every format and the command line know it:
// the station list's column, the command-line option, the JSON member, the
// place in the record and the values it takes. A series is one field of
// twelve elements; its columns are column + "1" .. column + "12".
struct Field {
  const char* column;  // "name", "latitude", "seriesA"
  const char* option;  // "--name", "--series-a"
  const char* help;    // for --help
  const char* valueName;
  FieldKind kind;
  std::size_t offset;   // of the first element in the record
  std::size_t size;     // bytes of one element (a text field's whole size)
  int elements;         // 1, or 12 for a series
  double min, max;      // the range of a number (a real series: none)
  bool requiredColumn;  // a station list must have the column
  bool requiredToAdd;   // a new location must be given it
  bool mayBeEmpty;      // a text that may be empty (the state)

  bool isSeries() const { return elements > 1; }
};

// Every field, in record order.
const std::vector<Field>& locationFields();

// The field named column ignoring ASCII case ("LATITUDE", or a series
// column such as "seriesC7", which sets *element to 6); null when none.
const Field* fieldOfColumn(const std::string& column, int* element);

// The name of element's column: column, or column + (element + 1).
std::string columnName(const Field& field, int element);

// One element of record as text: a name's text, a whole number in decimal,
// a float in the shortest form that reads back to the same value.
std::string fieldValueText(const LocationData& record, const Field& field, int element);
// A real element's value (0 for other kinds).
float realValue(const LocationData& record, const Field& field, int element);
// A whole element's value (0 for other kinds).
long wholeValue(const LocationData& record, const Field& field, int element);

// Sets one element of *record from text as a station list gives it: numbers
// in decimal, in the C locale, with an optional sign and exponent,
// surrounded by blanks or not, within the field's range; names cut to
// their field at a UTF-8 character boundary (then *warning, when given,
// says so), without control characters. An empty number leaves 0 in place
// (whether that is allowed is the caller's business); an empty name other
// than the state is refused. Returns "" when set, else what is wrong as a
// phrase without a period, and changes nothing.
std::string setFieldFromText(LocationData* record, const Field& field, int element,
                             const std::string& text, std::string* warning);

// Set one element of a number field from a value a caller holds as a
// number (Python's int or float), checked as setFieldFromText checks text:
// within the field's range, a real one held by a 32-bit float, a whole
// field given a whole number only. written is the value as its source
// writes it, for the message. Returns "" when set, else what is wrong as a
// phrase without a period, and changes nothing.
std::string setFieldFromWhole(LocationData* record, const Field& field, int element,
                              long long value, const std::string& written);
std::string setFieldFromReal(LocationData* record, const Field& field, int element, double value,
                             const std::string& written);

// One element whose value differs between two records.
struct FieldDifference {
  const Field* field;
  std::string column;  // columnName of the element
  std::string before;  // fieldValueText of the first record
  std::string after;   // of the second
};
// The elements of before and after whose values, as fieldValueText gives
// them, differ, in field order. Bytes after a name's end take no part.
std::vector<FieldDifference> differences(const LocationData& before, const LocationData& after);

// A value quoted for a station list's message (text::quoted, cut after 40
// bytes): the rows of a list are shown in one line each.
std::string quotedValue(const std::string& value);

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_FIELDS_H_
