#ifndef METDB_DIRECTORY_VELDSTRING_H_
#define METDB_DIRECTORY_VELDSTRING_H_

#include <string>

#include "platform/Export.h"

// The library's string for names. It adds no data to std::string; what it
// changes is equality: two VELDstrings are equal when their texts are equal
// ignoring ASCII letter case, which is how places are matched everywhere.
class METDB_EXPORT VELDstring : public std::string {
 public:
  VELDstring() = default;
  // A null text makes an empty string.
  VELDstring(const char* text);
  VELDstring(const std::string& text);
};

// Equality ignoring ASCII letter case.
METDB_EXPORT bool operator==(const VELDstring& a, const VELDstring& b);
METDB_EXPORT bool operator!=(const VELDstring& a, const VELDstring& b);
// Comparisons with plain text ignore case too (without these overloads the
// case-sensitive ones of std::string would be chosen).
METDB_EXPORT bool operator==(const VELDstring& a, const char* b);
METDB_EXPORT bool operator==(const char* a, const VELDstring& b);
METDB_EXPORT bool operator!=(const VELDstring& a, const char* b);
METDB_EXPORT bool operator!=(const char* a, const VELDstring& b);

#endif  // METDB_DIRECTORY_VELDSTRING_H_
