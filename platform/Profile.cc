#include "platform/Profile.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "platform/File.h"

namespace platform {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

// Compares by length, so that a NUL byte in a binary file cannot make a
// longer name match.
bool sameName(std::string_view a, const char* b) {
  std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (foldAscii(a[i]) != foldAscii(b[i])) return false;
  }
  return true;
}

// Splits a file into lines at LF, reading it in blocks, so that neither the
// file's size nor the length of a line is limited by a buffer.
class LineReader {
 public:
  explicit LineReader(const File& file) : file_(file), buf_(64 * 1024) {}

  // The next line without its LF. False at the end of the file or on a read
  // error, which ends the file as far as the reader is concerned.
  bool next(std::string* line) {
    line->clear();
    bool any = false;
    for (;;) {
      if (pos_ == len_) {
        long n = file_.readAt(offset_, buf_.data(), buf_.size());
        if (n <= 0) return any;
        offset_ += n;
        pos_ = 0;
        len_ = static_cast<std::size_t>(n);
      }
      any = true;
      const char* start = buf_.data() + pos_;
      const void* lf = std::memchr(start, '\n', len_ - pos_);
      std::size_t take = lf ? static_cast<const char*>(lf) - start : len_ - pos_;
      line->append(start, take);
      pos_ += take;
      if (lf) {
        ++pos_;
        return true;
      }
    }
  }

 private:
  const File& file_;
  std::vector<char> buf_;
  long offset_ = 0;
  std::size_t pos_ = 0;
  std::size_t len_ = 0;
};

std::size_t copyOut(std::string_view value, char* out, std::size_t size) {
  if (out == nullptr || size == 0) return 0;
  value = value.substr(0, value.find('\0'));
  std::size_t n = std::min(value.size(), size - 1);
  std::memcpy(out, value.data(), n);
  out[n] = '\0';
  return n;
}

}  // namespace

std::size_t getPrivateProfileString(const char* section, const char* key, const char* def,
                                    char* out, std::size_t size, const char* fileName) {
  std::string_view fallback = def != nullptr ? def : "";
  if (section == nullptr || key == nullptr || fileName == nullptr) {
    return copyOut(fallback, out, size);
  }
  try {
    File file;
    if (!file.open(fileName, File::kReadOnly)) return copyOut(fallback, out, size);
    LineReader reader(file);
    std::string line;
    bool firstLine = true;
    bool inSection = false;
    while (reader.next(&line)) {
      std::string_view text = line;
      // Editors may start a file with a UTF-8 byte order mark; it is no part
      // of the first line's text.
      if (firstLine && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
      firstLine = false;
      text = trim(text);
      if (text.empty() || text.front() == ';') continue;
      if (text.front() == '[') {
        if (inSection) break;  // the first matching section lacks the key
        std::string_view name = text.substr(1);
        name = trim(name.substr(0, name.find(']')));
        inSection = sameName(name, section);
        continue;
      }
      if (!inSection) continue;
      std::string_view::size_type eq = text.find('=');
      if (eq == std::string_view::npos || !sameName(trim(text.substr(0, eq)), key)) continue;
      std::string_view value = trim(text.substr(eq + 1));
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
      }
      return copyOut(value, out, size);
    }
  } catch (const std::bad_alloc&) {
    // A line too long to hold in memory: read as if the key were missing.
  }
  return copyOut(fallback, out, size);
}

}  // namespace platform
