#include "directory/TextScanner.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>
#include <system_error>

namespace {

using Traits = std::streambuf::traits_type;

bool isBlank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

const char* skipBlanks(const char* p, const char* end) {
  while (p != end && (isBlank(static_cast<unsigned char>(*p)) || *p == '\n')) ++p;
  return p;
}

// A float as "%f" reads it: an optional sign, then a decimal number, "inf",
// "infinity" or "nan" (which std::from_chars takes without the plus sign).
const char* parseFloat(const char* p, const char* end, float* value) {
  p = skipBlanks(p, end);
  bool plus = p != end && *p == '+';
  if (plus) ++p;
  if (plus && p != end && *p == '-') return nullptr;
  std::from_chars_result r = std::from_chars(p, end, *value, std::chars_format::general);
  return r.ec == std::errc() ? r.ptr : nullptr;
}

const char* parseLong(const char* p, const char* end, long long* value) {
  p = skipBlanks(p, end);
  if (p != end && *p == '+') {
    ++p;
    if (p != end && *p == '-') return nullptr;
  }
  std::from_chars_result r = std::from_chars(p, end, *value, 10);
  return r.ec == std::errc() ? r.ptr : nullptr;
}

}  // namespace

void TextScanner::takeLine(std::string* out, std::size_t maxChars) {
  std::size_t length = 0;
  char last = 0;
  for (;;) {
    const char* p = file_->readPosition();
    const char* end = file_->readEnd();
    if (p == end) {
      if (in_->sgetc() == Traits::eof()) break;
      continue;
    }
    const char* lineEnd = static_cast<const char*>(std::memchr(p, '\n', end - p));
    const char* stop = lineEnd != nullptr ? lineEnd : end;
    std::size_t n = static_cast<std::size_t>(stop - p);
    if (out != nullptr && length < maxChars) out->append(p, std::min(n, maxChars - length));
    if (n > 0) last = stop[-1];
    length += n;
    file_->take(n + (lineEnd != nullptr ? 1 : 0));
    if (lineEnd != nullptr) break;
  }
  // The CR of a CR LF line end sits in *out only when the whole line fitted.
  if (out != nullptr && last == '\r' && length <= maxChars) out->pop_back();
}

bool TextScanner::readLine(std::string* out, std::size_t maxChars) {
  out->clear();
  if (in_->sgetc() == Traits::eof()) return false;
  if (file_ != nullptr) {
    takeLine(out, maxChars);
    return true;
  }
  // Gathered in blocks rather than appended one character at a time.
  char block[256];
  std::size_t held = 0;
  std::size_t length = 0;
  int last = 0;
  for (int c = in_->sbumpc(); c != Traits::eof() && c != '\n'; c = in_->sbumpc()) {
    if (length < maxChars) {
      block[held++] = static_cast<char>(c);
      if (held == sizeof block) {
        out->append(block, held);
        held = 0;
      }
    }
    ++length;
    last = c;
  }
  out->append(block, held);
  // The CR of a CR LF line end sits in *out only when the whole line fitted.
  if (last == '\r' && length <= maxChars) out->pop_back();
  return true;
}

void TextScanner::skipLine() {
  if (file_ != nullptr) {
    takeLine(nullptr, 0);
    return;
  }
  for (int c = in_->sbumpc(); c != Traits::eof() && c != '\n'; c = in_->sbumpc()) {
  }
}

bool TextScanner::readInteger(long long* value) {
  int c = in_->sgetc();
  while (c != Traits::eof() && (isBlank(c) || c == '\n')) c = in_->snextc();
  return readIntegerHere(value);
}

bool TextScanner::readIntegerOnLine(long long* value) {
  int c = in_->sgetc();
  while (c != Traits::eof() && isBlank(c)) c = in_->snextc();
  return readIntegerHere(value);
}

bool TextScanner::readIntegerHere(long long* value) {
  bool negative = false;
  int c = in_->sgetc();
  if (c == '+' || c == '-') {
    negative = c == '-';
    c = in_->snextc();
  }
  if (c < '0' || c > '9') return false;
  // Accumulated as a negative number, whose range includes LLONG_MIN.
  long long v = 0;
  while (c >= '0' && c <= '9') {
    int digit = c - '0';
    if (v < (LLONG_MIN + digit) / 10) return false;
    v = v * 10 - digit;
    c = in_->snextc();
  }
  if (!negative) {
    if (v == LLONG_MIN) return false;
    v = -v;
  }
  *value = v;
  return true;
}

bool TextScanner::parseNumbers(const char* begin, const char* end, float* latitude,
                               float* longitude, int* level, long* index) {
  long long lvl = 0;
  long long idx = 0;
  const char* p = parseFloat(begin, end, latitude);
  if (p != nullptr) p = parseFloat(p, end, longitude);
  if (p != nullptr) p = parseLong(p, end, &lvl);
  if (p != nullptr) p = parseLong(p, end, &idx);
  if (p == nullptr || lvl < INT_MIN || lvl > INT_MAX || idx < LONG_MIN || idx > LONG_MAX) {
    return false;
  }
  *level = static_cast<int>(lvl);
  *index = static_cast<long>(idx);
  return true;
}
