#ifndef METDB_TOOL_TEXT_UTF8_H_
#define METDB_TOOL_TEXT_UTF8_H_

#include <cstddef>
#include <string>

namespace metdb {

namespace text {

// UTF-8 byte by byte: telling well-formed characters from other bytes, and
// cutting text that is assumed to be UTF-8 without splitting a character.
// The cuts do not validate: bytes that are not UTF-8 pass through, and are
// cut like any byte, so that a cut never loses more than the one character
// it would split.

// Whether c continues a UTF-8 multi-byte sequence (10xxxxxx).
inline bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The longest prefix of text of at most maxBytes bytes that does not end
// inside a UTF-8 multi-byte sequence. Only a sequence that the cut would
// split is dropped, so at most three bytes less than maxBytes are kept:
// continuation bytes with no lead byte before them are not UTF-8 and are cut
// like any byte (dropping all of them could leave a name empty).
std::string cutUtf8(const std::string& text, std::size_t maxBytes);

// The length (1 to 4) of the well-formed UTF-8 character that starts at
// text[i], or 0 when the bytes there begin none: a stray continuation byte,
// an overlong form, a surrogate, a code point past U+10FFFF or a sequence
// cut short. i must be less than text.size().
std::size_t wellFormedLength(const std::string& text, std::size_t i);

// The code point of the well-formed character of `length` bytes (as
// wellFormedLength gives it, not 0) at text[i].
char32_t codePointAt(const std::string& text, std::size_t i, std::size_t length);

// The offset of the first byte of text that does not belong to a
// well-formed UTF-8 character, or std::string::npos when all of text is
// UTF-8.
std::size_t findInvalidUtf8(const std::string& text);

// Why a field whose byte at offset bad (as findInvalidUtf8 gives it) begins
// no UTF-8 character is refused, as a phrase: "the field is not UTF-8 (its
// byte 3 is 0xFC)", and, when hint is set, how to read it all the same
// (giving its character set with --encoding).
std::string notUtf8Reason(const std::string& field, std::size_t bad, bool hint);

}  // namespace text

}  // namespace metdb

#endif  // METDB_TOOL_TEXT_UTF8_H_
