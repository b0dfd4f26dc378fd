#ifndef METDB_TOOL_SEARCH_SEARCHINDEX_H_
#define METDB_TOOL_SEARCH_SEARCHINDEX_H_

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "directory/Directory.h"
#include "tool/database/Filters.h"
#include "tool/search/LocationSearch.h"

namespace metdb {

// searchLocations over a directory that does not change, for many queries:
// every name's search key is worked out once, and a query compares only
// the names that can match it. The word starts of the keys, sorted, give
// the names that begin (or have a word that begins) with the query, and
// within one or two typing errors of it; the keys' trigrams give those that
// hold it anywhere. The answer is searchLocations' own, hit for hit.
class SearchIndex {
 public:
  // Reads the names of directory's groups and locations, which must stay
  // unchanged (and alive) while the index is used. Takes about a second
  // per million locations, with no check point: a server builds it once
  // for all of its requests, whatever the time limit of one.
  explicit SearchIndex(Directory* directory);

  SearchIndex(const SearchIndex&) = delete;
  SearchIndex& operator=(const SearchIndex&) = delete;

  // As searchLocations(directory, text, filters, limit, identified), with
  // the same errors. Safe to call from several threads at once.
  SearchResult search(const std::string& text, const Filters& filters, std::size_t limit,
                      const std::set<long>& identified = {}) const;

  // The number of locations indexed.
  std::size_t size() const { return locations_.size(); }

 private:
  // A state with its country and continent, and its locations' range in
  // walk order.
  struct StateRange {
    Continent* continent;
    Country* country;
    State* state;
    std::uint32_t first, end;
    std::uint32_t keys[3];  // groups_ of continent, country, state
  };

  // What the filters and the ranking need of a location, kept beside its
  // key so that a search reads no directory entry but those it returns.
  struct Place {
    float latitude, longitude;
    std::int8_t level;
  };

  // The key of locations_[entry] starts at keyText_[keyStart_[entry]] and
  // ends at a '\0'.
  const char* key(std::uint32_t entry) const { return keyText_.data() + keyStart_[entry]; }
  std::uint32_t entryAt(std::uint32_t position) const;
  // Appends to holding the entries whose keys hold query, in walk order,
  // and to near those (in no order, some more than once) with a word that
  // begins with query but for the errors a near miss allows.
  void addCandidates(const std::string& query, std::vector<std::uint32_t>* holding,
                     std::vector<std::uint32_t>* near) const;

  std::vector<Location*> locations_;  // walk order
  std::vector<Place> places_;         // of locations_
  std::vector<StateRange> states_;
  std::vector<std::string> groupKeys_;  // of the continents, countries, states
  std::string keyText_;                 // the locations' keys, each ended by '\0'
  std::vector<std::uint32_t> keyStart_;
  // Positions in keyText_ where a word of a key starts, ordered by the text
  // from there on.
  std::vector<std::uint32_t> wordStarts_;
  std::vector<std::uint32_t> wordEntries_;  // the entry of each of wordStarts_
  // The locations whose keys hold a trigram of each hash bucket, in walk
  // order (a bucket mixes trigrams: the candidates are checked).
  std::vector<std::uint32_t> bucketStart_;
  std::vector<std::uint32_t> bucketEntries_;
};

}  // namespace metdb

#endif  // METDB_TOOL_SEARCH_SEARCHINDEX_H_
