#ifndef METDB_TOOL_TEXT_HANKEYTABLE_H_
#define METDB_TOOL_TEXT_HANKEYTABLE_H_

#include <cstddef>
#include <cstdint>

namespace metdb {

namespace han_key_table {

// The layout of the table of the Han ideographs' search keys, which
// make_han_keys writes at build time (HanKeyTable.cc in the build tree) and
// HanKeys.cc reads.
//
// A block holds one key number per code point from first to last:
// kAsWritten when the character is its own key (ICU has no reading for it,
// or it is not assigned), otherwise k >= 1, whose key is the bytes of
// kKeyText from kKeyStart[k] up to kKeyStart[k + 1]. The blocks are in the
// order of their code points and do not overlap.
struct Block {
  char32_t first;
  char32_t last;
  const std::uint16_t* keys;
};

constexpr std::uint16_t kAsWritten = 0;

extern const Block kBlocks[];
extern const std::size_t kBlockCount;
extern const char kKeyText[];
extern const std::uint16_t kKeyStart[];

}  // namespace han_key_table

}  // namespace metdb

#endif  // METDB_TOOL_TEXT_HANKEYTABLE_H_
