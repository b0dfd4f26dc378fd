#include "cli/LocationTable.h"

#include <algorithm>

#include "tool/text/Text.h"

namespace metdb {

LocationTable::LocationTable(std::vector<std::string> leadingHeadings)
    : leadingColumns_(leadingHeadings.size()), headings_(std::move(leadingHeadings)) {
  alignRight_.assign(leadingColumns_, true);
  for (const char* h :
       {"INDEX", "CONTINENT", "COUNTRY", "STATE", "NAME", "LEVEL", "LATITUDE", "LONGITUDE"}) {
    headings_.push_back(h);
  }
  for (bool right : {true, false, false, false, false, true, true, true}) {
    alignRight_.push_back(right);
  }
  for (const std::string& h : headings_) width_.push_back(text::displayWidth(h));
}

std::vector<std::string> LocationTable::cells(const LocationData& r, long index,
                                              const std::vector<std::string>& leading) const {
  std::vector<std::string> row(leading.begin(), leading.end());
  row.resize(leadingColumns_);
  for (const std::string& cell :
       {std::to_string(index), fieldText(r.continent), fieldText(r.country), fieldText(r.state),
        fieldText(r.name), std::to_string(r.level), text::fixedFloat(r.latitude, 4),
        text::fixedFloat(r.longitude, 4)}) {
    row.push_back(cell);
  }
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
