// The build-time table of the Han ideographs' keys against ICU at run time.
#include <gtest/gtest.h>
#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tool/text/HanKeys.h"
#include "tool/text/SearchKey.h"
#include "tool/text/SearchKeyRules.h"

using namespace metdb;  // NOLINT: the tool's library under test

namespace {

std::string utf8(char32_t c) {
  std::string out;
  icu::UnicodeString(static_cast<UChar32>(c)).toUTF8String(out);
  return out;
}

// A few thousand code points spread over every block of the table (every
// 37th from each block's first, and its last), each with the key that the
// search keys' transliterator gives it here.
TEST(HanKeysTest, GivesIcusKeys) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::Transliterator> icuKeys(
      icu::Transliterator::createInstance(kSearchKeyTransliterator, UTRANS_FORWARD, status));
  ASSERT_TRUE(U_SUCCESS(status)) << u_errorName(status);
  const std::pair<char32_t, char32_t> blocks[] = {
      {0x3400, 0x4DBF}, {0x4E00, 0x9FFF}, {0xF900, 0xFAFF}, {0x20000, 0x323AF}};
  std::vector<char32_t> sample;
  for (const auto& [first, last] : blocks) {
    for (char32_t c = first; c < last; c += 37) sample.push_back(c);
    sample.push_back(last);
  }
  for (char32_t c : sample) {
    icu::UnicodeString folded(static_cast<UChar32>(c));
    icuKeys->transliterate(folded);
    std::string expected;
    folded.toUTF8String(expected);
    std::string key = "x";
    ASSERT_TRUE(appendHanKey(c, &key)) << std::hex << static_cast<unsigned>(c);
    EXPECT_EQ(key, "x" + expected) << std::hex << static_cast<unsigned>(c);
    EXPECT_EQ(searchKey(utf8(c)), expected) << std::hex << static_cast<unsigned>(c);
  }
  EXPECT_GT(sample.size(), 2000u);
}

TEST(HanKeysTest, LeavesOtherCharactersToIcu) {
  for (char32_t c : {U'a', U'ü', U'Ж', U'서', U'\u33FF', U'\u4DC0', U'\uA000', U'\uF8FF', U'\uFB00',
                     U'\U0001FFFF', U'\U000323B0'}) {
    std::string key = "x";
    EXPECT_FALSE(appendHanKey(c, &key)) << std::hex << static_cast<unsigned>(c);
    EXPECT_EQ(key, "x");
  }
}

}  // namespace
