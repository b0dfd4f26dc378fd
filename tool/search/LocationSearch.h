#ifndef METDB_TOOL_SEARCH_LOCATIONSEARCH_H_
#define METDB_TOOL_SEARCH_LOCATIONSEARCH_H_

#include <cstddef>
#include <string>
#include <vector>

#include "directory/Directory.h"
#include "tool/database/Filters.h"
#include "tool/search/NameMatch.h"

namespace metdb {

// Where a hit matched: the location's own name, or one of its groups.
enum class MatchedLevel { kName, kState, kCountry, kContinent };

// "name", "state", "country", "continent".
const char* matchedLevelName(MatchedLevel level);

// One location that a search found, with the directory entries of its path
// (the directory's; valid while it is unchanged).
struct SearchHit {
  Continent* continent;
  Country* country;
  State* state;
  Location* location;
  NameMatch match;
  MatchedLevel matchedLevel;
  long walkPosition;  // the location's place in walk order, from 0
};

// The hits of a search, best first, and how many there were in all.
struct SearchResult {
  std::vector<SearchHit> hits;
  std::size_t total = 0;
};

// Whether hit a ranks before hit b in a search's answer (see
// searchLocations).
bool ranksBefore(const SearchHit& a, const SearchHit& b);

// Every location of directory, among those filters select, whose name or
// whose state, country or continent matches text (matchName over search
// keys, so case, accents and script are set aside). A location is ranked
// by its best match (a tie goes to its own name before its state, country
// and continent), then by its level (lower first), then in walk order.
// Returns the first limit hits and the total. No record is read. Throws
// Error when text has no searchable character, or as LocationFilter does.
SearchResult searchLocations(Directory* directory, const std::string& text, const Filters& filters,
                             std::size_t limit);

}  // namespace metdb

#endif  // METDB_TOOL_SEARCH_LOCATIONSEARCH_H_
