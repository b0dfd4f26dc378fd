#include "tool/places/DataTable.h"

#include <istream>
#include <memory>

#include "tool/Error.h"
#include "tool/text/InputFile.h"
#include "tool/text/Text.h"

namespace metdb {

void readDataTable(const std::string& path, const std::string& what, const std::string& header,
                   const std::function<void(const std::vector<std::string>& fields,
                                            const TableFault& fault)>& row) {
  std::unique_ptr<InputFile> file;
  try {
    file = std::make_unique<InputFile>(path);
  } catch (const Error&) {
    throw Error("Cannot read the " + what + " " + text::quoted(path) + ".", Error::Cause::kSystem);
  }
  std::istream in(file.get());
  const std::size_t columns = text::split(header, '\t').size();
  std::string line;
  long number = 0;
  bool seenHeader = false;
  TableFault fault = [&](const std::string& wrong) {
    throw Error("The " + what + " " + text::quoted(path) + " is damaged at line " +
                    std::to_string(number) + ": " + wrong + ".",
                Error::Cause::kDamaged);
  };
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (!seenHeader) {
      if (line != header) fault("the columns are not " + text::quoted(header));
      seenHeader = true;
      continue;
    }
    std::vector<std::string> fields = text::split(line, '\t');
    if (fields.size() != columns) {
      fault("a row has " + std::to_string(columns) + " columns, this one " +
            std::to_string(fields.size()));
    }
    row(fields, fault);
  }
  if (in.bad())
    throw Error("Cannot read the " + what + " " + text::quoted(path) + ".", Error::Cause::kSystem);
  if (!seenHeader)
    throw Error("The " + what + " " + text::quoted(path) + " is empty.", Error::Cause::kDamaged);
}

}  // namespace metdb
