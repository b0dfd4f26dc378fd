#include "tool/record/NameLevels.h"

namespace metdb {

namespace {

const Field* field(const char* column) {
  int element = 0;
  return fieldOfColumn(column, &element);
}

}  // namespace

const std::array<NameLevel, 4>& nameLevels() {
  static const std::array<NameLevel, 4> levels = {{{"continent", field("continent")},
                                                   {"country", field("country")},
                                                   {"state", field("state")},
                                                   {"location", field("name")}}};
  return levels;
}

const Field& levelField() {
  static const Field* level = field("level");
  return *level;
}

std::string levelRange() {
  return std::to_string(static_cast<long>(levelField().min)) + ".." +
         std::to_string(static_cast<long>(levelField().max));
}

}  // namespace metdb
