// Search keys and the ranking of one name against a query.
#include <gtest/gtest.h>

#include <string>

#include "tool/search/NameMatch.h"
#include "tool/text/SearchKey.h"

using namespace metdb;  // NOLINT: the tool's library under test

namespace {

// What people type, as the names are written in several scripts.
TEST(SearchKeyTest, SetsAsideCaseAccentsAndScript) {
  const std::pair<const char*, const char*> cases[] = {
      {"Zürich", "zurich"},
      {"ZÜRICH", "zurich"},
      {"São Paulo", "sao paulo"},
      {"Tromsø", "tromso"},
      {"Łódź", "lodz"},
      {"Köln", "koln"},
      {"Reykjavík", "reykjavik"},
      {"Straße", "strasse"},
      {"Ærøskøbing", "aeroskobing"},
      {"Москва", "moskva"},
      {"Αθήνα", "athena"},
      {"北京", "beijing"},
      {"서울", "seoul"},
      {"Đà Nẵng", "da nang"},
      {"e\xCC\x81t\xC3\xA9", "ete"},
      {"Saint-Étienne*", "saint-etienne*"},
      {"N?me", "n?me"},
  };
  for (const auto& c : cases) EXPECT_EQ(searchKey(c.first), c.second) << c.first;
  // Bytes that are not UTF-8 are kept, so that such a name still has a key.
  EXPECT_EQ(searchKey("A\xFF"
                      "B"),
            "a\xFF"
            "b");
}

TEST(NameMatchTest, RanksExactPrefixWordSubstringAndNearMisses) {
  auto kindOf = [](const char* query, const char* key) { return NameMatcher(query).match(key); };
  EXPECT_EQ(kindOf("helsinki", "helsinki").kind, MatchKind::kExact);
  EXPECT_EQ(kindOf("hel", "helsinki").kind, MatchKind::kPrefix);
  EXPECT_EQ(kindOf("vantaa", "helsinki-vantaa").kind, MatchKind::kWordPrefix);
  EXPECT_EQ(kindOf("sink", "helsinki").kind, MatchKind::kSubstring);
  NameMatch typo = kindOf("helsinky", "helsinki");
  EXPECT_EQ(typo.kind, MatchKind::kNearMiss);
  EXPECT_EQ(typo.errors, 1);
  // Two neighbours swapped count as one error; a word of the name will do.
  EXPECT_EQ(kindOf("vnataa", "helsinki-vantaa airport").errors, 1);
  EXPECT_EQ(kindOf("hellsinky", "helsinki").errors, 2);
  // Too many errors for the query's length, and no near misses below four
  // letters.
  EXPECT_FALSE(kindOf("hlsinky", "helsinki").found());
  EXPECT_FALSE(kindOf("hwl", "helsinki").found());
  EXPECT_TRUE(kindOf("hel", "helsinki").before(kindOf("sink", "helsinki")));
}

}  // namespace
