#include "tool/record/CsvWriter.h"

#include "tool/text/Text.h"

namespace metdb {

std::string csvField(const std::string& text) {
  bool quote = !text.empty() && (text::isBlank(text.front()) || text::isBlank(text.back()));
  for (char c : text) {
    if (c == ',' || c == '"' || c == '\r' || c == '\n') quote = true;
  }
  if (!quote) return text;
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

void writeCsvLine(std::ostream& out, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out << ',';
    out << csvField(fields[i]);
  }
  out << '\n';
}

}  // namespace metdb
