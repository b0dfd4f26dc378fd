#include "tool/text/Text.h"

#include <gtest/gtest.h>

#include <string>

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

// Two ideographs, an "e" with a combining acute accent (U+0301), a Hangul
// syllable spelt out in jamo (a leading one and a medial one, U+1100 U+1161)
// and a zero-width joiner (U+200D, a format character).
const std::string kTokyo = "\xE6\x9D\xB1\xE4\xBA\xAC";
const std::string kCafe = "Cafe\xCC\x81";
const std::string kJamo = "\xE1\x84\x80\xE1\x85\xA1";
const std::string kJoiner = "\xE2\x80\x8D";

TEST(TextWidthTest, WideAndZeroWidthCharactersAndStrayBytes) {
  EXPECT_EQ(text::displayWidth("Oslo"), 4u);
  EXPECT_EQ(text::displayWidth(kTokyo), 4u);
  EXPECT_EQ(text::displayWidth(kCafe), 4u);
  EXPECT_EQ(text::displayWidth(kJamo), 2u);
  EXPECT_EQ(text::displayWidth("a" + kJoiner + "b"), 2u);
  EXPECT_EQ(text::displayWidth("Z\xFC"
                               "rich"),
            6u);                                      // a Latin-1 byte: one column
  EXPECT_EQ(text::displayWidth("\xEF\xBC\xA1"), 2u);  // fullwidth A

  EXPECT_EQ(text::padRight(kTokyo, 6), kTokyo + "  ");
  EXPECT_EQ(text::padLeft(kCafe, 6), "  " + kCafe);

  // The cut keeps whole characters within the width, and an accent with its
  // letter.
  EXPECT_EQ(text::fitWidth(kTokyo + kTokyo, 7), kTokyo + "...");
  EXPECT_EQ(text::fitWidth(kTokyo + kTokyo, 6), "\xE6\x9D\xB1...");
  EXPECT_EQ(text::fitWidth(kCafe + "teria", 7), kCafe + "...");
  EXPECT_EQ(text::fitWidth(kCafe, 4), kCafe);
}

}  // namespace
