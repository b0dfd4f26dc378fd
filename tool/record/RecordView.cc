#include "tool/record/RecordView.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tool/record/Fields.h"
#include "tool/record/StationFields.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

void field(std::ostream& out, const char* label, const std::string& value) {
  std::size_t width = std::max<std::size_t>(11, std::string(label).size() + 1);
  out << "  " << text::padRight(label, width) << value << '\n';
}

}  // namespace

void writeRecordView(std::ostream& out, const LocationData& r, long index,
                     const StationInfo* station) {
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
  if (station != nullptr) {
    for (const char* c : {"ids", "elevation", "timezone", "active_from", "active_to", "source"}) {
      std::string value = stationValueText(*station, c);
      if (!value.empty()) field(out, c, value);
    }
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
