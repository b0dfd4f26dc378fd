#ifndef METDB_TOOL_INPUTFILE_H_
#define METDB_TOOL_INPUTFILE_H_

#include <istream>
#include <memory>
#include <string>

namespace metdb {

// A file read as a stream through the library's seam to the operating
// system (platform::Env), as every file the tool reads is, so that a test
// can put another file system under the tool. Binary: no translation of
// line ends. The stream fails at once when the file cannot be opened, and
// sets badbit when a read fails.
class InputFile : public std::istream {
 public:
  explicit InputFile(const std::string& path);
  ~InputFile() override;

 private:
  class Buffer;
  std::unique_ptr<Buffer> buffer_;
};

}  // namespace metdb

#endif  // METDB_TOOL_INPUTFILE_H_
