// The index's search gives searchLocations' own answer.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "directory/Directory.h"
#include "tests/support/Records.h"
#include "tool/Error.h"
#include "tool/search/LocationSearch.h"
#include "tool/search/SearchIndex.h"

using namespace metdb;  // NOLINT: the tool's library under test

namespace {

// Made-up names from syllables among real ones in several scripts, with
// several words, punctuation and repeats; groups whose names match the
// queries too.
std::vector<LocationData> variedRecords() {
  const char* syllables[] = {"hel", "sin", "ki", "van", "taa", "zu", "rich", "ber", "gen",
                             "os",  "lo",  "ka", "tro", "mso", "a",  "e",    "-",   " "};
  const char* real[] = {"Helsinki",
                        "Helsinki-Vantaa",
                        "Zürich",
                        "Flughafen Zürich",
                        "ZURICH",
                        "Tromsø",
                        "Łódź",
                        "Москва",
                        "北京",
                        "서울",
                        "Sao Paulo",
                        "São Paulo",
                        "Helsinky Lake",
                        "Hellsinki",
                        "Vnataa",
                        "Bergen",
                        "St. Petersburg",
                        "Xi'an",
                        "A",
                        "Ka"};
  const char* states[] = {"Uusimaa", "Zurich", "Helsinki", "Vestland", "Troms"};
  const char* countries[] = {"Finland", "Schweiz", "Norge", "Zuriland"};
  std::mt19937 random(7);
  std::vector<LocationData> records;
  for (const char* continent : {"Europe", "Helsinkia"}) {
    for (const char* country : countries) {
      for (const char* state : states) {
        for (int i = 0; i < 40; ++i) {
          std::string name;
          if (random() % 4 == 0) {
            name = real[random() % (sizeof real / sizeof *real)];
          } else {
            int parts = 1 + static_cast<int>(random() % 4);
            for (int p = 0; p < parts; ++p) name += syllables[random() % 18];
            if (name.empty() || name == " ") name = "x";
            name[0] = static_cast<char>(name[0] >= 'a' && name[0] <= 'z' ? name[0] - 32 : name[0]);
          }
          records.push_back(testsupport::makeRecord(
              continent, country, state, name.c_str(), static_cast<int>(random() % 5),
              static_cast<float>(random() % 180) - 90, static_cast<float>(random() % 360) - 180));
        }
      }
    }
  }
  return records;
}

TEST(SearchIndexTest, FindsWhatTheWalkFindsInTheSameOrder) {
  std::vector<LocationData> records = variedRecords();
  Directory directory("");
  LocationData previous{};
  for (std::size_t i = 0; i < records.size(); ++i) {
    directory.addOrderedEntry(records[i], previous, static_cast<long>(i));
  }
  SearchIndex index(&directory);
  ASSERT_EQ(index.size(), records.size());

  const char* queries[] = {"a",       "ka",        "hel",     "helsinki", "helsinky",  "hlesinki",
                           "vnataa",  "vantaa",    "sink",    "zurich",   "ZÜRICH",    "zurch",
                           "tromso",  "moskva",    "beijing", "seoul",    "sao paulo", "-",
                           "gen-",    "st. pet",   "xi'an",   "finland",  "zuri",      "europe",
                           "uusimaa", "helsinkia", "tro mso", "bergne",   "kaber",     "ka ",
                           "osloka",  "hellsinkki"};
  std::vector<Filters> filterSets(5);
  filterSets[1].country = "Finland";
  filterSets[2].levelLimit = 2;
  filterSets[2].bbox = Box{-45, -90, 45, 120};
  filterSets[3].state = "Helsinki";
  filterSets[3].continent = "Europe";
  filterSets[4].name = "*a*";
  // Record indices that a query names as identifiers, ranked before names.
  const std::set<long> identified[] = {{}, {3, 700, 1599}};
  for (const Filters& filters : filterSets) {
    for (const char* query : queries) {
      for (std::size_t limit :
           {std::size_t{0}, std::size_t{1}, std::size_t{5}, std::size_t{100000}}) {
        const std::set<long>& ids = identified[limit == 1 ? 1 : 0];
        SearchResult plain = searchLocations(&directory, query, filters, limit, ids);
        SearchResult indexed = index.search(query, filters, limit, ids);
        const std::string what =
            std::string(query) + " " + filters.describe() + " limit " + std::to_string(limit);
        ASSERT_EQ(indexed.total, plain.total) << what;
        ASSERT_EQ(indexed.hits.size(), plain.hits.size()) << what;
        for (std::size_t i = 0; i < plain.hits.size(); ++i) {
          const SearchHit& a = plain.hits[i];
          const SearchHit& b = indexed.hits[i];
          EXPECT_EQ(b.location, a.location) << what << " #" << i;
          EXPECT_EQ(b.match.kind, a.match.kind) << what << " #" << i;
          EXPECT_EQ(b.match.errors, a.match.errors) << what << " #" << i;
          EXPECT_EQ(b.matchedLevel, a.matchedLevel) << what << " #" << i;
          EXPECT_EQ(b.walkPosition, a.walkPosition) << what << " #" << i;
          EXPECT_EQ(b.state, a.state) << what << " #" << i;
        }
      }
    }
  }
  EXPECT_THROW(index.search(" ", Filters(), 10), Error);
}

}  // namespace
