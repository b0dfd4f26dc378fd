#ifndef METDB_TOOL_TEXT_HANKEYS_H_
#define METDB_TOOL_TEXT_HANKEYS_H_

#include <string>

namespace metdb {

// The search keys of the Han ideographs, one character at a time, as the
// search keys' transliterator (SearchKeyRules.h) gives them: 北 "bei", 京
// "jing". They come from a table that make_han_keys writes at build time by
// running that transliterator over each code point of the CJK Unified
// Ideographs (U+4E00..U+9FFF), their Extension A (U+3400..U+4DBF), the CJK
// Compatibility Ideographs (U+F900..U+FAFF) and planes 2 and 3 up to U+323AF
// (Extensions B to H and the Compatibility Ideographs Supplement), so that
// no process of the tool makes ICU parse its Han-Latin rules, which takes
// tens of milliseconds.
//
// Appends the key of c to *key and returns true when c is in those blocks;
// returns false, leaving *key as it was, when it is not.
bool appendHanKey(char32_t c, std::string* key);

}  // namespace metdb

#endif  // METDB_TOOL_TEXT_HANKEYS_H_
