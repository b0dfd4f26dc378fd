#ifndef METDB_TOOL_TEXT_SEARCHKEY_H_
#define METDB_TOOL_TEXT_SEARCHKEY_H_

#include <string>

namespace metdb {

// The key under which a name is searched: the name written in lower-case
// ASCII as far as Unicode's transliterations reach, so that "Zürich",
// "ZURICH" and "zurich" have one key, and so have "Tromsø" and "tromso",
// "Łódź" and "lodz", "Москва" and "moskva", "北京" and "beijing". Other
// scripts are written in Latin letters (Any-Latin), accents and other
// combining marks are dropped, letters such as ø, ł, ß and æ become their
// usual ASCII spellings (Latin-ASCII), and everything is made lower case.
// ASCII punctuation and digits stay as they are, so '*' and '?' of a pattern
// keep their meaning when a pattern is turned into a key.
//
// Bytes that are not well-formed UTF-8 are kept as they are. The keys are
// the tool's alone: the library's own order and comparisons of names stay
// those of ASCII letters.
//
// The transliterator is made once per thread on first use (some
// milliseconds); ASCII text never reaches it, nor do the Han ideographs,
// whose keys come from a table made at build time (HanKeys.h), and each
// other character is transliterated once per thread and then taken from a
// table.
std::string searchKey(const std::string& text);

// Appends the key of the size bytes at text to *key (which may hold
// something already).
void appendSearchKey(const char* text, std::size_t size, std::string* key);

}  // namespace metdb

#endif  // METDB_TOOL_TEXT_SEARCHKEY_H_
