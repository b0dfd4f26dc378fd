#include "tool/text/Utf8.h"

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

std::string firstCharacters(const std::string& text, std::size_t characters) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!isContinuationByte(text[i]) && seen++ == characters) return text.substr(0, i);
  }
  return text;
}

}  // namespace text

}  // namespace metdb
