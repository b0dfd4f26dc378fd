#include "tool/lists/HeaderedCsv.h"

#include "tool/CheckPoint.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

std::string key(const std::string& name) { return text::foldCase(text::trimBlanks(name)); }

}  // namespace

HeaderedCsv::HeaderedCsv(std::istream& in, char delimiter) : reader_(in, delimiter) {
  CsvRecord header;
  if (!reader_.next(&header)) return;
  hasHeader_ = true;
  for (const std::string& name : header.fields) names_.push_back(key(name));
}

int HeaderedCsv::column(const std::string& name) const {
  std::string k = key(name);
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (names_[i] == k) return static_cast<int>(i);
  }
  return -1;
}

bool HeaderedCsv::hasColumns(const std::vector<std::string>& required, const std::string& listName,
                             ListedStations* out) const {
  std::string fault = hasHeader_ ? "" : "the list is empty";
  for (const std::string& name : required) {
    if (fault.empty() && column(name) < 0) {
      fault = "the header lacks the column \"" + name + "\" of " + listName;
    }
  }
  if (fault.empty()) return true;
  out->errors.push_back({0, "", fault});
  out->fatal = true;
  return false;
}

bool HeaderedCsv::next(ListedStations* out) {
  for (;;) {
    if (!reader_.next(&row_)) return false;
    checkPoint();
    if (row_.error.empty()) return true;
    std::string column = row_.errorField < names_.size() ? names_[row_.errorField] : "";
    out->errors.push_back({row_.line, column, row_.error});
    if (row_.fatal) {
      out->fatal = true;
      return false;
    }
  }
}

std::string HeaderedCsv::field(int column) const {
  if (column < 0 || static_cast<std::size_t>(column) >= row_.fields.size()) return "";
  return text::trimBlanks(row_.fields[static_cast<std::size_t>(column)]);
}

}  // namespace metdb
