#include "tool/text/HanKeys.h"

#include <unicode/utf8.h>

#include <cstdint>

#include "tool/text/HanKeyTable.h"

namespace metdb {

bool appendHanKey(char32_t c, std::string* key) {
  using namespace han_key_table;
  for (std::size_t b = 0; b < kBlockCount && c >= kBlocks[b].first; ++b) {
    if (c > kBlocks[b].last) continue;
    std::uint16_t k = kBlocks[b].keys[c - kBlocks[b].first];
    if (k == kAsWritten) {
      char bytes[U8_MAX_LENGTH];
      std::int32_t length = 0;
      U8_APPEND_UNSAFE(bytes, length, static_cast<UChar32>(c));
      key->append(bytes, static_cast<std::size_t>(length));
    } else {
      key->append(kKeyText + kKeyStart[k], kKeyStart[k + 1] - kKeyStart[k]);
    }
    return true;
  }
  return false;
}

}  // namespace metdb
