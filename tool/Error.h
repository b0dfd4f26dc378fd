#ifndef METDB_TOOL_ERROR_H_
#define METDB_TOOL_ERROR_H_

#include <stdexcept>
#include <string>

namespace metdb {

// The failure of an operation of the tool's library: what() is one
// sentence, ending in a period, that names the file, record or value at
// fault and the cause, ready to show to a person. Operations that throw it
// leave the database as it was unless their contract says otherwise.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& sentence) : std::runtime_error(sentence) {}
};

}  // namespace metdb

#endif  // METDB_TOOL_ERROR_H_
