#ifndef METDB_TOOL_TEXT_PEEKEDINPUT_H_
#define METDB_TOOL_TEXT_PEEKEDINPUT_H_

#include <cstddef>
#include <streambuf>
#include <string>

namespace metdb {

// The first bytes of an input, read ahead so that its format can be told,
// and then the whole input again from its first byte: a stream buffer that
// serves the bytes read ahead and then the rest of the source. Works on
// inputs that cannot seek (standard input, a pipe). The source is the
// caller's and outlives this object.
class PeekedInput : public std::streambuf {
 public:
  // Reads up to bytes bytes of source ahead.
  PeekedInput(std::streambuf* source, std::size_t bytes);
  PeekedInput(const PeekedInput&) = delete;
  PeekedInput& operator=(const PeekedInput&) = delete;

  // The bytes read ahead (fewer than asked at the end of the input).
  const std::string& start() const { return start_; }

 protected:
  int_type underflow() override;

 private:
  std::streambuf* source_;
  std::string start_;
  bool startServed_ = false;
  static constexpr std::size_t kBlock = 1 << 16;
  std::string block_;
};

}  // namespace metdb

#endif  // METDB_TOOL_TEXT_PEEKEDINPUT_H_
