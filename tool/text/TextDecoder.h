#ifndef METDB_TOOL_TEXT_TEXTDECODER_H_
#define METDB_TOOL_TEXT_TEXTDECODER_H_

#include <cstddef>
#include <streambuf>
#include <string>
#include <vector>

#include <unicode/utypes.h>

struct UConverter;

namespace metdb {

namespace text {

// Text in another character set, read as UTF-8: a stream buffer that takes
// bytes in a named character set from a source stream buffer, converts them
// with ICU a chunk at a time (never the whole input at once) and delivers
// them as UTF-8. Bytes that are no text in that character set are not
// replaced: the delivered text ends just before them, and fault() says what
// they are. A byte order mark that the character set defines as one (as
// UTF-16's does) is taken away by the conversion; a UTF-8 one is delivered.
class TextDecoder : public std::streambuf {
 public:
  // Reads from source, which the caller owns and keeps alive, text in the
  // character set that ICU knows by encoding (a name or an alias, such as
  // "latin1", "windows-1252", "utf-16" or "shift_jis", matched as ICU
  // matches them). Throws Error when ICU knows no character set of that
  // name.
  TextDecoder(std::streambuf* source, const std::string& encoding);
  ~TextDecoder() override;
  TextDecoder(const TextDecoder&) = delete;
  TextDecoder& operator=(const TextDecoder&) = delete;

  // Whether ICU knows a character set by that name (an empty one is none).
  static bool knows(const std::string& encoding);

  // Empty while the input has converted well; once the conversion stopped
  // at bytes that are no text in the character set, or at the end of the
  // input inside a character, what went wrong as a phrase without a closing
  // period, e.g. "byte 0xFC is not us-ascii text". The conversion runs a
  // chunk ahead of the reader: the fault is known as soon as it meets the
  // bytes, and the text before them is still delivered before the end.
  const std::string& fault() const { return fault_; }

 protected:
  int_type underflow() override;

 private:
  // Converts the next chunk of the source into out_ (which may stay empty
  // when the chunk completes no character); sets done_ at the end of the
  // input or at a fault.
  void convertChunk();
  void noteFault(UErrorCode status);

  std::streambuf* source_;
  std::string encoding_;
  UConverter* converter_ = nullptr;
  std::vector<char> in_;
  std::size_t inBegin_ = 0, inEnd_ = 0;
  bool sourceEnded_ = false;
  // UTF-16 from the converter; a lead surrogate whose trail has not come
  // yet waits at the front.
  std::vector<UChar> units_;
  std::size_t carried_ = 0;
  std::string out_;
  bool done_ = false;
  std::string fault_;
};

}  // namespace text

}  // namespace metdb

#endif  // METDB_TOOL_TEXT_TEXTDECODER_H_
