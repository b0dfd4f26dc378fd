#include "tool/record/JsonArrayWriter.h"

#include "tool/record/RecordJson.h"

namespace metdb {

JsonArrayWriter::JsonArrayWriter(std::ostream& out, const std::string& opening) : out_(out) {
  out_ << opening;
}

void JsonArrayWriter::add(const nlohmann::ordered_json& element) {
  out_ << (count_ == 0 ? "\n  " : ",\n  ") << dumpJson(element, -1);
  ++count_;
}

void JsonArrayWriter::addText(const std::string& element) {
  out_ << (count_ == 0 ? "\n  " : ",\n  ") << element;
  ++count_;
}

void JsonArrayWriter::end(const std::string& closing) {
  out_ << (count_ > 0 ? "\n" : "") << closing << '\n';
}

}  // namespace metdb
