#ifndef METDB_TOOL_RECORD_NAMEFIELD_H_
#define METDB_TOOL_RECORD_NAMEFIELD_H_

#include <cstddef>
#include <cstring>
#include <string>

#include "tool/text/Utf8.h"

namespace metdb {

// Sets a fixed-size name field (a name field of LocationData, or a
// selection's name) of size bytes to value, cut at a UTF-8 character
// boundary to leave room for the closing NUL (text::cutUtf8), with every
// byte after the text zero: equal names give equal bytes, and a record
// written whole holds nothing of what the field held before. Returns the
// text the field now holds, shorter than value when it was cut. size must be
// at least 1.
inline std::string setNameField(char* field, std::size_t size, const std::string& value) {
  std::string kept = text::cutUtf8(value, size - 1);
  std::memset(field, 0, size);
  std::memcpy(field, kept.data(), kept.size());
  return kept;
}

template <std::size_t N>
std::string setNameField(char (&field)[N], const std::string& value) {
  return setNameField(field, N, value);
}

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_NAMEFIELD_H_
