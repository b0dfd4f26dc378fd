#ifndef METDB_TOOL_TEXT_UTF8_H_
#define METDB_TOOL_TEXT_UTF8_H_

#include <cstddef>
#include <string>

namespace metdb {

namespace text {

// Cutting text that is assumed to be UTF-8 without splitting a character.
// Nothing here validates: bytes that are not UTF-8 pass through, and are cut
// like any byte, so that a cut never loses more than the one character it
// would split.

// Whether c continues a UTF-8 multi-byte sequence (10xxxxxx).
inline bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The longest prefix of text of at most maxBytes bytes that does not end
// inside a UTF-8 multi-byte sequence. Only a sequence that the cut would
// split is dropped, so at most three bytes less than maxBytes are kept:
// continuation bytes with no lead byte before them are not UTF-8 and are cut
// like any byte (dropping all of them could leave a name empty).
std::string cutUtf8(const std::string& text, std::size_t maxBytes);

// The first `characters` characters of text, where a character is a byte
// that is not a continuation byte together with the continuation bytes that
// follow it (continuation bytes at the very start go with the first one);
// the whole of text when it has no more.
std::string firstCharacters(const std::string& text, std::size_t characters);

}  // namespace text

}  // namespace metdb

#endif  // METDB_TOOL_TEXT_UTF8_H_
