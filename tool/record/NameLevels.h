#ifndef METDB_TOOL_RECORD_NAMELEVELS_H_
#define METDB_TOOL_RECORD_NAMELEVELS_H_

#include <array>
#include <string>

#include "datafile/LocationData.h"
#include "tool/record/Fields.h"

namespace metdb {

// One of the four levels of the location tree, as every part of the tool
// names it.
struct NameLevel {
  const char* noun;    // for messages: "continent", "country", "state", "location"
  const Field* field;  // the record's field (locationFields): "continent" ... "name"
};

// The four levels, continent first.
const std::array<NameLevel, 4>& nameLevels();

// The level field, whose min and max bound every level, and its range as
// messages write it: "-128..127".
const Field& levelField();
std::string levelRange();

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_NAMELEVELS_H_
