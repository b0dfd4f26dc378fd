#ifndef METDB_TOOL_SEARCH_LOCATIONSEARCH_H_
#define METDB_TOOL_SEARCH_LOCATIONSEARCH_H_

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "datafile/BMTFile.h"
#include "directory/Directory.h"
#include "tool/database/Filters.h"
#include "tool/search/NameMatch.h"

namespace metdb {

// Where a hit matched: an identifier of the location (see
// identifiedLocations), its own name, or one of its groups.
enum class MatchedLevel { kIdentifier, kName, kState, kCountry, kContinent };

// "identifier", "name", "state", "country", "continent".
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

// The search key that text asks for (its folded, trimmed form); throws
// Error (bad input) when nothing is left to search for.
std::string searchQuery(const std::string& text);

// The answer of a search that found hits: the first limit of them as
// searchLocations ranks them, and the number of all of them.
SearchResult rankedResult(std::vector<SearchHit> hits, std::size_t limit);

// Every location of directory, among those filters select, whose name or
// whose state, country or continent matches text (matchName over search
// keys, so case, accents and script are set aside). A location is ranked
// by its best match (a tie goes to its own name before its state, country
// and continent), then by its level (lower first), then in walk order.
// Returns the first limit hits and the total. No record is read. Throws
// Error when text has no searchable character, or as LocationFilter does.
// identified: record indices of locations that hold text as an
// identifier, which match exactly and rank before every name.
SearchResult searchLocations(Directory* directory, const std::string& text, const Filters& filters,
                             std::size_t limit, const std::set<long>& identified = {});

// Keeps of result's hits the locations that the station file's filters of
// filters (--id, --active), which a search of names does not apply, keep:
// the first limit of them, and their number as the total. result must hold
// every hit (a search without a limit). Reads db's station file; throws
// Error as SelectedLocations::build does.
void keepStationFiltered(SearchResult* result, const Filters& filters, BMTFile* db,
                         std::size_t limit);

// The record indices of the locations whose station information holds
// text as an identifier: "scheme:value" (the scheme ignoring case), or a
// value of a scheme the tool knows (knownIdSchemes), as given or in
// capitals ("entc" finds icao:ENTC).
std::set<long> identifiedLocations(BMTFile& db, const std::string& text);

// The identifiers that identifiedLocations looks up for text, the scheme
// in lower case: "scheme:value" as given, or the value in each known scheme
// (as given and in capitals); none when text holds a blank or nothing.
std::vector<std::string> identifierQueries(const std::string& text);

}  // namespace metdb

#endif  // METDB_TOOL_SEARCH_LOCATIONSEARCH_H_
