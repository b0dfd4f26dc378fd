#ifndef METDB_TOOL_TEXT_TEXT_H_
#define METDB_TOOL_TEXT_TEXT_H_

#include <cstddef>
#include <string>
#include <vector>

namespace metdb {

// Text helpers of the tool. Names are compared as the library compares
// them: ignoring ASCII letter case only, byte by byte otherwise.
namespace text {

// <0, 0 or >0 as a sorts before, equal to or after b ignoring ASCII case,
// bytes compared unsigned (the order of the directory's arrays).
int compareIgnoringCase(const std::string& a, const std::string& b);
bool equalIgnoringCase(const std::string& a, const std::string& b);
// name with its ASCII capitals made small: a key under which names that are
// equal ignoring case are one.
std::string foldCase(const std::string& name);

// Whether name matches pattern ignoring ASCII case, where '*' stands for
// any run of bytes and '?' for one UTF-8 character. Takes at most time
// proportional to the product of the two lengths, whatever the pattern.
bool matchesPattern(const std::string& pattern, const std::string& name);

// The number of terminal columns text takes, from the Unicode character
// data: two for a character of East Asian wide or fullwidth width (CJK
// ideographs, kana, Hangul syllables, fullwidth forms), none for a
// combining mark (general categories Mn and Me), a format character (Cf)
// and a Hangul medial or final jamo (U+1160..U+11FF), one for any other
// character and for each byte that begins no well-formed UTF-8 character.
std::size_t displayWidth(const std::string& text);
// text followed by blanks up to width columns (never cut).
std::string padRight(const std::string& text, std::size_t width);
// blanks and then text, up to width columns.
std::string padLeft(const std::string& text, std::size_t width);
// text when it takes at most width columns, else its longest beginning that
// takes at most width - 3 columns, followed by "..." (width is at least 3).
// The cut falls between characters, and keeps the zero-width characters
// after the last one kept (so that an accent stays with its letter).
std::string fitWidth(const std::string& text, std::size_t width);

// The shortest decimal text that reads back to the same float.
std::string shortestFloat(float value);
// value with a fixed number of decimals (for tables).
std::string fixedFloat(float value, int decimals);

// How the text of a number read.
enum class NumberText {
  kNumber,      // *value is set
  kNotNumber,   // the text is no number of the kind asked for
  kOutOfRange,  // a number, but too large (or too small) for the type
};
// Reads a decimal number, in the C locale, filling the whole of raw but for
// blanks and tabs around it, with at most one sign, '+' or '-'; a real
// number may have a fraction and an exponent. An empty text, trailing
// characters, an infinity or NaN are kNotNumber. *value is set only for
// kNumber.
NumberText readNumber(const std::string& raw, long long* value);
NumberText readNumber(const std::string& raw, float* value);
NumberText readNumber(const std::string& raw, double* value);
// Whether c is a blank or a tab, what numbers and CSV fields may be
// surrounded with.
inline bool isBlank(char c) { return c == ' ' || c == '\t'; }
// text without the blanks and tabs around it.
std::string trimBlanks(const std::string& text);
// text with the ASCII letters a-z as capitals, every other byte as it is:
// for codes ("ch" -> "CH").
std::string asciiUpper(std::string text);
// Whether readNumber gives kNumber.
bool parseNumber(const std::string& raw, float* value);
bool parseNumber(const std::string& raw, double* value);

// A value quoted for a message: "text", with control characters shown as
// '?', and a value longer than maxBytes cut at a UTF-8 character boundary
// (cutUtf8) and followed by "...".
constexpr std::size_t kQuotedBytes = 60;
std::string quoted(const std::string& value, std::size_t maxBytes = kQuotedBytes);

// text for a drawing library that takes only valid UTF-8: each byte that
// does not begin a well-formed UTF-8 character (no overlong forms, no
// surrogates, nothing past U+10FFFF), and each control character, becomes
// '?'.
std::string drawable(const std::string& text);

// text ended by a period, as a sentence of a message: one is added where
// it is missing.
std::string sentence(std::string text);
// text without a period at its end, to go inside a longer sentence.
std::string withoutPeriod(std::string text);

// "1 location", "2 locations".
std::string plural(long n, const char* one, const char* many);

// Splits text at every separator.
std::vector<std::string> split(const std::string& text, char separator);

}  // namespace text

}  // namespace metdb

#endif  // METDB_TOOL_TEXT_TEXT_H_
