#include "platform/Stricmp.h"

#include "gtest/gtest.h"

namespace platform {
namespace {

TEST(StricmpTest, FoldsAsciiOnlyAndComparesUnsignedBytes) {
  EXPECT_EQ(0, stricmp("Europe", "eUROPE"));
  EXPECT_LT(stricmp("apple", "BANANA"), 0);
  EXPECT_GT(stricmp("Zulu", "alpha"), 0);
  EXPECT_LT(stricmp("_", "A"), 0);        // 'A' folds to 'a', which follows '_'
  EXPECT_NE(0, stricmp("\xc9", "\xe9"));  // no folding outside ASCII
  EXPECT_GT(stricmp("\xe9", "z"), 0);
  EXPECT_LT(stricmp("z", "\xe9"), 0);
  EXPECT_LT(stricmp("ab", "ABC"), 0);  // a prefix sorts first
  EXPECT_GT(stricmp("ABC", "ab"), 0);
  EXPECT_LT(stricmp("", "a"), 0);
}

}  // namespace
}  // namespace platform
