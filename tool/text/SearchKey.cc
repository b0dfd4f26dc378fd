#include "tool/text/SearchKey.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "tool/Error.h"
#include "tool/text/HanKeys.h"
#include "tool/text/SearchKeyRules.h"

namespace metdb {

namespace {

// Scripts whose letters are transliterated one by one as well as in a run:
// Latin (with its combining marks), Greek, Cyrillic, Hebrew and Arabic, the
// Han ideographs and the Hangul syllables. Letter by letter, "北京" gives
// "beijing" (what people type) rather than "bei jing". The letters of other
// scripts (kana, the Indic scripts, Thai, ...) change with their neighbours,
// so a run of them is transliterated whole.
bool transliteratedAlone(UChar32 c) {
  return c < 0x0900 || (c >= 0x1E00 && c < 0x2000) || (c >= 0x2000 && c < 0x3000) ||
         (c >= 0x3400 && c < 0xA000) || (c >= 0xAC00 && c < 0xD800) ||
         (c >= 0xF900 && c < 0xFB00) || c >= 0x20000;
}

class Folder {
 public:
  Folder() {
    UErrorCode status = U_ZERO_ERROR;
    transliterator_.reset(
        icu::Transliterator::createInstance(kSearchKeyTransliterator, UTRANS_FORWARD, status));
    if (U_FAILURE(status)) {
      throw Error(std::string("The Unicode transliterator for search keys is missing (") +
                      u_errorName(status) + ").",
                  Error::Cause::kSystem);
    }
  }

  void append(const char* text, std::size_t size, std::string* key) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
    std::size_t i = 0;
    while (i < size) {
      std::uint8_t b = bytes[i];
      if (b < 0x80) {
        key->push_back(b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a')
                                            : static_cast<char>(b));
        ++i;
        continue;
      }
      std::size_t start = i;
      UChar32 c;
      U8_NEXT(bytes, i, size, c);
      if (c < 0) {
        key->append(text + start, i - start);
      } else if (transliteratedAlone(c)) {
        // The Han ideographs from the table made at build time, the others
        // from ICU.
        if (!appendHanKey(static_cast<char32_t>(c), key)) key->append(character(c));
      } else {
        // A run of characters that change with their neighbours.
        std::size_t end = i;
        while (end < size) {
          std::size_t next = end;
          UChar32 d;
          U8_NEXT(bytes, next, size, d);
          if (d < 0 || transliteratedAlone(d)) break;
          end = next;
        }
        key->append(run(std::string(text + start, end - start)));
        i = end;
      }
    }
  }

 private:
  const std::string& character(UChar32 c) {
    auto found = characters_.find(c);
    if (found != characters_.end()) return found->second;
    return characters_.emplace(c, transliterate(icu::UnicodeString(c))).first->second;
  }

  const std::string& run(const std::string& utf8) {
    auto found = runs_.find(utf8);
    if (found != runs_.end()) return found->second;
    return runs_.emplace(utf8, transliterate(icu::UnicodeString::fromUTF8(utf8))).first->second;
  }

  std::string transliterate(icu::UnicodeString text) {
    transliterator_->transliterate(text);
    std::string out;
    text.toUTF8String(out);
    return out;
  }

  std::unique_ptr<icu::Transliterator> transliterator_;
  std::unordered_map<UChar32, std::string> characters_;
  std::unordered_map<std::string, std::string> runs_;
};

Folder& folder() {
  thread_local Folder instance;
  return instance;
}

}  // namespace

void appendSearchKey(const char* text, std::size_t size, std::string* key) {
  folder().append(text, size, key);
}

std::string searchKey(const std::string& text) {
  std::string key;
  key.reserve(text.size());
  appendSearchKey(text.data(), text.size(), &key);
  return key;
}

}  // namespace metdb
