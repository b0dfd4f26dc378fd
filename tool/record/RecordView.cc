#include "tool/record/RecordView.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tool/record/Fields.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

void field(std::ostream& out, const char* label, const std::string& value) {
  out << "  " << text::padRight(label, 11) << value << '\n';
}

}  // namespace

void writeRecordView(std::ostream& out, const LocationData& r, long index) {
  out << "Record " << index << '\n';
  // The single fields one per line, then the series as a table, as text
  // first so that every column can take the width of its widest value.
  std::vector<std::pair<std::string, std::vector<std::string>>> rows;
  for (const Field& f : locationFields()) {
    if (!f.isSeries()) {
      field(out, f.column, fieldValueText(r, f, 0));
      continue;
    }
    std::vector<std::string> values;
    for (int m = 0; m < f.elements; ++m) values.push_back(fieldValueText(r, f, m));
    // "seriesA" is shown as "A".
    rows.emplace_back(std::string(f.column).substr(6), std::move(values));
  }
  std::size_t width[12];
  for (int m = 0; m < 12; ++m) {
    width[m] = std::to_string(m + 1).size();
    for (const auto& row : rows) width[m] = std::max(width[m], text::displayWidth(row.second[m]));
  }
  out << "  " << text::padRight("series", 9);
  for (int m = 0; m < 12; ++m) out << "  " << text::padLeft(std::to_string(m + 1), width[m]);
  out << '\n';
  for (const auto& row : rows) {
    out << "  " << text::padRight(row.first, 9);
    for (int m = 0; m < 12; ++m) out << "  " << text::padLeft(row.second[m], width[m]);
    out << '\n';
  }
}

}  // namespace metdb
