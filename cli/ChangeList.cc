#include "cli/ChangeList.h"

#include "tool/database/LocationPath.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

std::string shown(const FieldDifference& d, const std::string& value) {
  return d.field->kind == FieldKind::kText ? text::quoted(value) : value;
}

}  // namespace

void writeChangeList(std::ostream& out, const std::vector<PlannedChange>& changes) {
  for (const PlannedChange& c : changes) {
    out << "  " << c.index << "  " << recordPath(c.before) << ":";
    for (std::size_t i = 0; i < c.differences.size(); ++i) {
      const FieldDifference& d = c.differences[i];
      out << (i ? ", " : " ") << d.column << ' ' << shown(d, d.before) << " -> "
          << shown(d, d.after);
    }
    out << '\n';
  }
}

}  // namespace metdb
