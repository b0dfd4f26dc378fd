#ifndef METDB_TOOL_RECORD_CSVWRITER_H_
#define METDB_TOOL_RECORD_CSVWRITER_H_

#include <ostream>
#include <string>
#include <vector>

namespace metdb {

// text as one field of a CSV line: quoted (with its double quotes doubled)
// when it holds a comma, a double quote or a line break, or begins or ends
// with a blank, so that a reader of RFC 4180 gets it back exactly; as it is
// otherwise.
std::string csvField(const std::string& text);

// The fields as one CSV line, ended by a line feed.
void writeCsvLine(std::ostream& out, const std::vector<std::string>& fields);

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_CSVWRITER_H_
