#include "cli/LocationTable.h"

#include <algorithm>
#include <utility>

#include "tool/text/Text.h"

namespace metdb {

namespace {

std::string capitals(std::string name) {
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return name;
}

// A cell for a person to read: a position with four decimals (about ten
// metres), which lines the column up; everything else as the station list
// writes it.
std::string cellText(const RecordColumn& column, const LocationData& record, long index,
                     const StationInfo* info) {
  const Field* f = column.field;
  if (f != nullptr && f->kind == FieldKind::kReal && !f->isSeries()) {
    return text::fixedFloat(realValue(record, *f, 0), 4);
  }
  return column.text(record, index, info);
}

}  // namespace

LocationTable::LocationTable(std::vector<std::string> leadingHeadings,
                             std::vector<RecordColumn> columns)
    : leadingColumns_(leadingHeadings.size()),
      columns_(std::move(columns)),
      headings_(std::move(leadingHeadings)) {
  alignRight_.assign(leadingColumns_, true);
  for (const RecordColumn& c : columns_) {
    headings_.push_back(capitals(c.name()));
    alignRight_.push_back(c.isNumber());
  }
  for (const std::string& h : headings_) width_.push_back(text::displayWidth(h));
}

std::vector<std::string> LocationTable::cells(const LocationData& r, long index,
                                              const std::vector<std::string>& leading) const {
  std::vector<std::string> row(leading.begin(), leading.end());
  row.resize(leadingColumns_);
  const StationInfo* info = stations_ ? stations_(index) : nullptr;
  for (const RecordColumn& c : columns_) row.push_back(cellText(c, r, index, info));
  return row;
}

void LocationTable::measure(const LocationData& record, long index,
                            const std::vector<std::string>& leading) {
  std::vector<std::string> row = cells(record, index, leading);
  for (std::size_t i = 0; i < width_.size(); ++i) {
    width_[i] = std::max(width_[i], text::displayWidth(row[i]));
  }
}

void LocationTable::writeHeadings(std::ostream& out) const { writeLine(out, headings_); }

void LocationTable::writeRow(std::ostream& out, const LocationData& record, long index,
                             const std::vector<std::string>& leading) const {
  writeLine(out, cells(record, index, leading));
}

void LocationTable::writeLine(std::ostream& out, const std::vector<std::string>& row) const {
  std::string line;
  for (std::size_t i = 0; i < width_.size(); ++i) {
    if (i > 0) line += "  ";
    line += alignRight_[i] ? text::padLeft(row[i], width_[i]) : text::padRight(row[i], width_[i]);
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  out << line << '\n';
}

}  // namespace metdb
