#include "tool/text/Text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <type_traits>

#include <unicode/uchar.h>

#include "tool/text/Utf8.h"

namespace metdb {

namespace text {

namespace {

unsigned char fold(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

// Byte length of the UTF-8 character that starts at s[i] (1 for a stray
// byte), never past the end.
std::size_t characterLength(const std::string& s, std::size_t i) {
  std::size_t n = 1;
  while (i + n < s.size() && isContinuationByte(s[i + n])) ++n;
  return n;
}

template <class Number>
NumberText readDecimal(const std::string& raw, Number* value) {
  std::size_t b = raw.find_first_not_of(" \t");
  if (b == std::string::npos) return NumberText::kNotNumber;
  const char* begin = raw.data() + b;
  const char* end = raw.data() + raw.find_last_not_of(" \t") + 1;
  // from_chars takes a '-' but no '+'; one sign only.
  if (*begin == '+') {
    ++begin;
    if (begin != end && *begin == '-') return NumberText::kNotNumber;
  }
  Number v{};
  auto [ptr, ec] = std::from_chars(begin, end, v);
  if (ptr != end || (ec != std::errc() && ec != std::errc::result_out_of_range)) {
    return NumberText::kNotNumber;
  }
  if (ec == std::errc::result_out_of_range) return NumberText::kOutOfRange;
  if constexpr (std::is_floating_point_v<Number>) {
    if (!std::isfinite(v)) return NumberText::kNotNumber;
  }
  *value = v;
  return NumberText::kNumber;
}

}  // namespace

NumberText readNumber(const std::string& raw, long long* value) { return readDecimal(raw, value); }
NumberText readNumber(const std::string& raw, float* value) { return readDecimal(raw, value); }
NumberText readNumber(const std::string& raw, double* value) { return readDecimal(raw, value); }

std::string trimBlanks(const std::string& text) {
  std::size_t b = 0, e = text.size();
  while (b < e && isBlank(text[b])) ++b;
  while (e > b && isBlank(text[e - 1])) --e;
  return text.substr(b, e - b);
}

std::string asciiUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool parseNumber(const std::string& raw, float* value) {
  return readNumber(raw, value) == NumberText::kNumber;
}
bool parseNumber(const std::string& raw, double* value) {
  return readNumber(raw, value) == NumberText::kNumber;
}

int compareIgnoringCase(const std::string& a, const std::string& b) {
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    int d = static_cast<int>(fold(a[i])) - static_cast<int>(fold(b[i]));
    if (d != 0) return d;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool equalIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && compareIgnoringCase(a, b) == 0;
}

std::string foldCase(const std::string& name) {
  std::string key(name.size(), '\0');
  for (std::size_t i = 0; i < name.size(); ++i) key[i] = static_cast<char>(fold(name[i]));
  return key;
}

bool matchesPattern(const std::string& pattern, const std::string& name) {
  // Greedy matching with a return to the last star: each stretch of the
  // pattern between stars is taken at the earliest place in name where it
  // fits, which is never worse than a later one (a stretch that starts later
  // ends no earlier, as '?' runs to the next character's start), so only the
  // last star ever needs to take more bytes.
  std::size_t pi = 0, si = 0;
  std::size_t starPi = std::string::npos, starSi = 0;
  while (si < name.size()) {
    if (pi < pattern.size() && pattern[pi] == '*') {
      starPi = ++pi;
      starSi = si;
    } else if (pi < pattern.size() && pattern[pi] == '?') {
      si += characterLength(name, si);
      ++pi;
    } else if (pi < pattern.size() && fold(pattern[pi]) == fold(name[si])) {
      ++pi;
      ++si;
    } else if (starPi != std::string::npos) {
      pi = starPi;
      si = ++starSi;
    } else {
      return false;
    }
  }
  while (pi < pattern.size() && pattern[pi] == '*') ++pi;
  return pi == pattern.size();
}

namespace {

// The terminal columns one character takes: none for marks that combine
// with the character before them, for format characters and for the
// medial and final jamo of a Hangul syllable spelt out in jamo; two for the
// characters East Asian scripts set wide; one for all others.
std::size_t columnsOf(char32_t c) {
  UChar32 u = static_cast<UChar32>(c);
  if (u >= 0x1160 && u <= 0x11FF) return 0;
  std::int8_t category = u_charType(u);
  if (category == U_NON_SPACING_MARK || category == U_ENCLOSING_MARK || category == U_FORMAT_CHAR) {
    return 0;
  }
  int width = u_getIntPropertyValue(u, UCHAR_EAST_ASIAN_WIDTH);
  return (width == U_EA_WIDE || width == U_EA_FULLWIDTH) ? 2 : 1;
}

// Calls step(offset, length, columns) for each character of s in turn; a
// byte that begins no well-formed UTF-8 character is a character of its
// own, one column wide (a terminal shows it as one replacement sign).
template <class Step>
void forEachCharacter(const std::string& s, Step step) {
  for (std::size_t i = 0; i < s.size();) {
    std::size_t n = wellFormedLength(s, i);
    std::size_t columns = n == 0 ? 1 : columnsOf(codePointAt(s, i, n));
    if (n == 0) n = 1;
    if (!step(i, n, columns)) return;
    i += n;
  }
}

}  // namespace

std::size_t displayWidth(const std::string& s) {
  std::size_t width = 0;
  forEachCharacter(s, [&](std::size_t, std::size_t, std::size_t columns) {
    width += columns;
    return true;
  });
  return width;
}

std::string padRight(const std::string& s, std::size_t width) {
  std::size_t w = displayWidth(s);
  return w >= width ? s : s + std::string(width - w, ' ');
}

std::string padLeft(const std::string& s, std::size_t width) {
  std::size_t w = displayWidth(s);
  return w >= width ? s : std::string(width - w, ' ') + s;
}

std::string fitWidth(const std::string& s, std::size_t width) {
  if (displayWidth(s) <= width) return s;
  std::size_t room = width < 3 ? 0 : width - 3;
  std::size_t used = 0, end = 0;
  // The cut falls before a character that takes columns, never before a
  // zero-width one: a combining mark stays with its base.
  forEachCharacter(s, [&](std::size_t offset, std::size_t length, std::size_t columns) {
    if (columns > 0 && used + columns > room) return false;
    used += columns;
    end = offset + length;
    return true;
  });
  return s.substr(0, end) + "...";
}

std::string shortestFloat(float value) {
  std::array<char, 64> buf;
  auto result = std::to_chars(buf.data(), buf.data() + buf.size(), value);
  return std::string(buf.data(), result.ptr);
}

std::string fixedFloat(float value, int decimals) {
  std::array<char, 64> buf;
  std::snprintf(buf.data(), buf.size(), "%.*f", decimals, static_cast<double>(value));
  return buf.data();
}

std::string quoted(const std::string& value, std::size_t maxBytes) {
  std::string shown = cutUtf8(value, maxBytes);
  bool shortened = shown.size() < value.size();
  for (char& ch : shown) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7f) ch = '?';
  }
  return "\"" + shown + (shortened ? "..." : "") + "\"";
}

std::string drawable(const std::string& textValue) {
  std::string out;
  out.reserve(textValue.size());
  for (std::size_t i = 0; i < textValue.size();) {
    std::size_t n = wellFormedLength(textValue, i);
    unsigned char b = static_cast<unsigned char>(textValue[i]);
    bool control = n == 1 && (b < 0x20 || b == 0x7F);
    bool c1 = n == 2 && b == 0xC2 && static_cast<unsigned char>(textValue[i + 1]) < 0xA0;
    if (n == 0 || control || c1) {
      out += '?';
      i += (n == 0 ? 1 : n);
      continue;
    }
    out.append(textValue, i, n);
    i += n;
  }
  return out;
}

std::string sentence(std::string text) {
  if (!text.empty() && text.back() != '.') text += '.';
  return text;
}

std::string withoutPeriod(std::string text) {
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

std::string plural(long n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::vector<std::string> split(const std::string& s, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t at = s.find(separator, start);
    parts.push_back(s.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) return parts;
    start = at + 1;
  }
}

}  // namespace text

}  // namespace metdb
