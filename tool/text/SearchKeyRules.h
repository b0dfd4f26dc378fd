#ifndef METDB_TOOL_TEXT_SEARCHKEYRULES_H_
#define METDB_TOOL_TEXT_SEARCHKEYRULES_H_

namespace metdb {

// The ICU transliterator that folds text to search keys (SearchKey.h). The
// tool runs it, and so does make_han_keys at build time for the table of the
// Han ideographs' keys: both must run the same one, so that a key does not
// depend on which of them made it.
inline constexpr char kSearchKeyTransliterator[] =
    "Any-Latin; Latin-ASCII; NFD; [:Nonspacing Mark:] Remove; Any-Lower; NFC";

}  // namespace metdb

#endif  // METDB_TOOL_TEXT_SEARCHKEYRULES_H_
