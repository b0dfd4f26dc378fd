#include <gtest/gtest.h>

#include <string>

#include "tool/text/Text.h"

using metdb::text::matchesPattern;

namespace {

// The filters' patterns: '*' any run of bytes, '?' one UTF-8 character,
// ASCII letters ignoring case; a pattern with many stars against a name
// that nearly matches is answered as surely as any other.
TEST(WildcardTest, MatchesStarsQuestionMarksAndCaseIncludingManyStars) {
  EXPECT_TRUE(matchesPattern("hel*", "Helsinki"));
  EXPECT_TRUE(matchesPattern("*SINK?", "Helsinki"));
  EXPECT_TRUE(matchesPattern("*", ""));
  EXPECT_TRUE(matchesPattern("**a**", "banana"));
  EXPECT_TRUE(matchesPattern("*an*na", "banana"));
  EXPECT_FALSE(matchesPattern("*an*nab", "banana"));
  EXPECT_FALSE(matchesPattern("?", ""));
  EXPECT_FALSE(matchesPattern("", "x"));
  // '?' takes a whole character, continuation bytes included.
  EXPECT_TRUE(matchesPattern("Malm?", "Malm\xC3\xB6"));
  EXPECT_FALSE(matchesPattern("Malm??", "Malm\xC3\xB6"));
  // Case is ignored for ASCII letters only.
  EXPECT_FALSE(matchesPattern("\xC3\x96*", "\xC3\xB6rebro"));

  const std::string as(30, 'a');
  EXPECT_FALSE(matchesPattern("*a*a*a*a*a*a*a*a*a*a*b", as));
  EXPECT_TRUE(matchesPattern("*a*a*a*a*a*a*a*a*a*a*b", as + "b"));
  EXPECT_TRUE(matchesPattern("*a*a*a*a*a*a*a*a*a*a*", as));
}

}  // namespace
