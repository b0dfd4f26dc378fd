#include "tool/text/TextDecoder.h"

#include <cstdint>
#include <cstdio>

#include <unicode/ucnv.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include "tool/Error.h"

namespace metdb {

namespace text {

namespace {

// Bytes read from the source at once, and UTF-16 units converted at once.
constexpr std::size_t kChunk = 1 << 16;

// A converter of that name, or null; a stop at bytes it cannot convert
// instead of ICU's replacement character.
UConverter* openConverter(const std::string& encoding) {
  if (encoding.empty()) return nullptr;  // ICU would take the platform's default
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_open(encoding.c_str(), &status);
  if (U_FAILURE(status)) return nullptr;
  ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  if (U_FAILURE(status)) {
    ucnv_close(converter);
    return nullptr;
  }
  return converter;
}

std::string hexBytes(const char* bytes, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%s0x%02X", i > 0 ? " " : "",
                  static_cast<unsigned>(static_cast<unsigned char>(bytes[i])));
    out += hex;
  }
  return out;
}

}  // namespace

TextDecoder::TextDecoder(std::streambuf* source, const std::string& encoding)
    : source_(source), encoding_(encoding), converter_(openConverter(encoding)) {
  if (converter_ == nullptr) {
    throw Error("There is no character set \"" + encoding +
                    "\"; names such as latin1, windows-1252, utf-16 and shift_jis are known.",
                Error::Cause::kBadInput);
  }
  in_.resize(kChunk);
  units_.resize(kChunk);
}

TextDecoder::~TextDecoder() { ucnv_close(converter_); }

bool TextDecoder::knows(const std::string& encoding) {
  UConverter* converter = openConverter(encoding);
  ucnv_close(converter);
  return converter != nullptr;
}

TextDecoder::int_type TextDecoder::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  out_.clear();
  while (out_.empty() && !done_) convertChunk();
  if (out_.empty()) return traits_type::eof();
  setg(&out_[0], &out_[0], &out_[0] + out_.size());
  return traits_type::to_int_type(*gptr());
}

void TextDecoder::convertChunk() {
  if (inBegin_ == inEnd_ && !sourceEnded_) {
    std::streamsize got = source_->sgetn(in_.data(), static_cast<std::streamsize>(in_.size()));
    inBegin_ = 0;
    inEnd_ = got > 0 ? static_cast<std::size_t>(got) : 0;
    sourceEnded_ = got <= 0;
  }
  const char* from = in_.data() + inBegin_;
  UChar* to = units_.data() + carried_;
  UErrorCode status = U_ZERO_ERROR;
  // Only once the source is used up may the converter take what it holds of
  // a character as all there is.
  ucnv_toUnicode(converter_, &to, units_.data() + units_.size(), &from, in_.data() + inEnd_,
                 nullptr, sourceEnded_, &status);
  inBegin_ = static_cast<std::size_t>(from - in_.data());
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    status = U_ZERO_ERROR;  // the converter keeps the rest for the next round
  } else if (U_FAILURE(status)) {
    noteFault(status);
  } else if (sourceEnded_) {
    done_ = true;
  }

  std::size_t count = static_cast<std::size_t>(to - units_.data());
  carried_ = 0;
  for (std::size_t i = 0; i < count;) {
    UChar32 c = units_[i++];
    if (U16_IS_LEAD(c) && i == count && !done_) {
      units_[0] = static_cast<UChar>(c);
      carried_ = 1;
      break;
    }
    if (U16_IS_LEAD(c) && i < count && U16_IS_TRAIL(units_[i])) {
      c = U16_GET_SUPPLEMENTARY(c, units_[i++]);
    }
    // A surrogate without its partner (no converter gives one) comes out
    // in its three-byte form, which is no UTF-8 and so never passes as
    // text.
    char bytes[U8_MAX_LENGTH];
    std::size_t n = 0;
    U8_APPEND_UNSAFE(bytes, n, c);
    out_.append(bytes, n);
  }
}

void TextDecoder::noteFault(UErrorCode status) {
  done_ = true;
  char bytes[32];
  std::int8_t length = sizeof bytes;
  UErrorCode ignored = U_ZERO_ERROR;
  ucnv_getInvalidChars(converter_, bytes, &length, &ignored);
  if (U_FAILURE(ignored)) length = 0;
  std::string shown = hexBytes(bytes, length);
  if (status == U_TRUNCATED_CHAR_FOUND) {
    fault_ = "the text ends inside a " + encoding_ + " character" +
             (length > 0 ? " (" + shown + ")" : std::string());
  } else if (length > 0) {
    fault_ = (length == 1 ? "byte " : "bytes ") + shown + (length == 1 ? " is" : " are") + " not " +
             encoding_ + " text";
  } else {
    fault_ = std::string("the text is not ") + encoding_ + " (" + u_errorName(status) + ")";
  }
}

}  // namespace text

}  // namespace metdb
