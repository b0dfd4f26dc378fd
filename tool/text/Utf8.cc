#include "tool/text/Utf8.h"

#include <cstdio>

namespace metdb {

namespace text {

std::string cutUtf8(const std::string& text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  // text[maxBytes] is the first byte left out; find the lead byte of its
  // sequence, which lies at most three bytes before it.
  std::size_t lead = maxBytes;
  while (lead > 0 && maxBytes - lead < 3 && isContinuationByte(text[lead])) --lead;
  if (lead < maxBytes && byte(lead) >= 0xC0) {
    std::size_t length = byte(lead) >= 0xF0 ? 4 : byte(lead) >= 0xE0 ? 3 : 2;
    if (lead + length > maxBytes) return text.substr(0, lead);
  }
  return text.substr(0, maxBytes);
}

std::size_t wellFormedLength(const std::string& s, std::size_t i) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char b = byte(i);
  if (b < 0x80) return 1;
  std::size_t n;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3;
    if (b == 0xE0) low = 0xA0;   // overlong
    if (b == 0xED) high = 0x9F;  // surrogates
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4;
    if (b == 0xF0) low = 0x90;   // overlong
    if (b == 0xF4) high = 0x8F;  // past U+10FFFF
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < n; ++k) {
    if (!isContinuationByte(s[i + k])) return 0;
  }
  return n;
}

char32_t codePointAt(const std::string& text, std::size_t i, std::size_t length) {
  static const unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t c = static_cast<unsigned char>(text[i]) & kLeadBits[length];
  for (std::size_t k = 1; k < length; ++k) {
    c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  }
  return c;
}

std::size_t findInvalidUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = wellFormedLength(text, i);
    if (n == 0) return i;
    i += n;
  }
  return std::string::npos;
}

std::string notUtf8Reason(const std::string& field, std::size_t bad, bool hint) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X",
                static_cast<unsigned>(static_cast<unsigned char>(field[bad])));
  std::string reason =
      "the field is not UTF-8 (its byte " + std::to_string(bad + 1) + " is " + hex + ")";
  if (hint) reason += "; give the file's character set with --encoding, such as --encoding latin1";
  return reason;
}

}  // namespace text

}  // namespace metdb
