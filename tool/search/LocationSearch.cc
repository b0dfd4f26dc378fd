#include "tool/search/LocationSearch.h"

#include <algorithm>
#include <unordered_set>

#include "datafile/StationFile.h"
#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/database/LocationFilter.h"
#include "tool/database/LocationPath.h"
#include "tool/database/SelectedLocations.h"
#include "tool/record/StationFields.h"
#include "tool/text/SearchKey.h"
#include "tool/text/Text.h"

namespace metdb {

const char* matchedLevelName(MatchedLevel level) {
  switch (level) {
    case MatchedLevel::kIdentifier:
      return "identifier";
    case MatchedLevel::kName:
      return "name";
    case MatchedLevel::kState:
      return "state";
    case MatchedLevel::kCountry:
      return "country";
    case MatchedLevel::kContinent:
      return "continent";
  }
  return "name";
}

namespace {

// The walk: each group's match is worked out once, as the walk enters it;
// each location's name as the walk reaches it.
class Searcher : public DirectoryVisitor {
 public:
  Searcher(const LocationFilter& filter, std::string query, const std::set<long>& identified)
      : filter_(filter), matcher_(std::move(query)), identified_(identified) {}

  bool enterContinent(Continent* c) override { return enter(0, *c, MatchedLevel::kContinent); }
  bool enterCountry(Continent*, Country* k) override {
    return enter(1, *k, MatchedLevel::kCountry);
  }
  bool enterState(Continent*, Country*, State* s) override {
    checkPoint();
    return enter(2, *s, MatchedLevel::kState);
  }
  bool visitLocation(Continent* c, Country* k, State* s, Location* l) override {
    long position = walkPosition_++;
    if (!filter_.admitsPosition(*l) || !filter_.admits(3, *l)) return true;
    key_.clear();
    appendSearchKey(l->data(), l->size(), &key_);
    SearchHit hit{c, k, s, l, matcher_.match(key_), MatchedLevel::kName, position};
    for (int level = 2; level >= 0; --level) {
      if (groupMatch_[level].match.before(hit.match)) {
        hit.match = groupMatch_[level].match;
        hit.matchedLevel = groupMatch_[level].level;
      }
    }
    if (identified_.count(l->locationIndex)) {
      hit.match = NameMatch{MatchKind::kExact, 0};
      hit.matchedLevel = MatchedLevel::kIdentifier;
    }
    if (hit.match.found()) hits_.push_back(hit);
    return true;
  }

  std::vector<SearchHit>& hits() { return hits_; }

 private:
  struct GroupMatch {
    NameMatch match;
    MatchedLevel level;
  };

  bool enter(int level, const std::string& name, MatchedLevel matchedLevel) {
    if (!filter_.admits(level, name)) return false;
    groupMatch_[level] = {matcher_.match(searchKey(name)), matchedLevel};
    return true;
  }

  const LocationFilter& filter_;
  NameMatcher matcher_;
  GroupMatch groupMatch_[3];
  std::string key_;
  long walkPosition_ = 0;
  const std::set<long>& identified_;
  std::vector<SearchHit> hits_;
};

// Whether hit a ranks before hit b in a search's answer (see
// searchLocations).
bool ranksBefore(const SearchHit& a, const SearchHit& b) {
  if (a.match.before(b.match)) return true;
  if (b.match.before(a.match)) return false;
  if (a.matchedLevel != b.matchedLevel) return a.matchedLevel < b.matchedLevel;
  if (a.location->level != b.location->level) return a.location->level < b.location->level;
  return a.walkPosition < b.walkPosition;
}

}  // namespace

std::string searchQuery(const std::string& text) {
  std::string query = text::trimBlanks(searchKey(text));
  if (query.empty()) {
    throw Error("The search text " + text::quoted(text) + " holds nothing to search for.",
                Error::Cause::kBadInput);
  }
  return query;
}

SearchResult rankedResult(std::vector<SearchHit> hits, std::size_t limit) {
  SearchResult result;
  result.total = hits.size();
  const std::size_t shown = std::min(limit, hits.size());
  std::partial_sort(hits.begin(), hits.begin() + static_cast<std::ptrdiff_t>(shown), hits.end(),
                    ranksBefore);
  hits.resize(shown);
  result.hits = std::move(hits);
  return result;
}

void keepStationFiltered(SearchResult* result, const Filters& filters, BMTFile* db,
                         std::size_t limit) {
  SelectedLocations kept;
  kept.build(filters, db);
  std::unordered_set<const Location*> admitted(kept.entries().begin(), kept.entries().end());
  std::vector<SearchHit>& hits = result->hits;
  hits.erase(std::remove_if(hits.begin(), hits.end(),
                            [&](const SearchHit& h) { return admitted.count(h.location) == 0; }),
             hits.end());
  result->total = hits.size();
  if (hits.size() > limit) hits.resize(limit);
}

std::vector<std::string> identifierQueries(const std::string& text) {
  std::vector<std::string> ids;
  std::string wanted = text::trimBlanks(text);
  if (wanted.empty() || wanted.find_first_of(" \t") != std::string::npos) return ids;
  if (isIdentifierText(wanted)) {
    std::size_t colon = wanted.find(':');
    ids.push_back(text::foldCase(wanted.substr(0, colon)) + wanted.substr(colon));
    return ids;
  }
  // A value alone, in each scheme the tool knows, as given and in capitals
  // (the codes' usual case).
  std::string upper = wanted;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  for (const std::string& scheme : knownIdSchemes()) {
    ids.push_back(scheme + ":" + wanted);
    if (upper != wanted) ids.push_back(scheme + ":" + upper);
  }
  return ids;
}

std::set<long> identifiedLocations(BMTFile& db, const std::string& text) {
  std::set<long> found;
  std::vector<std::string> ids = identifierQueries(text);
  if (ids.empty()) return found;
  StationFile stations(db);
  if (!stations.exists()) return found;
  // Each a look-up of the lines holding it, so that a search of names pays
  // no parse of the station file.
  for (const std::string& id : ids) {
    for (long index : stations.lookup(id)) found.insert(index);
  }
  return found;
}

SearchResult searchLocations(Directory* directory, const std::string& text, const Filters& filters,
                             std::size_t limit, const std::set<long>& identified) {
  std::string query = searchQuery(text);
  LocationFilter filter(filters);
  Searcher searcher(filter, query, identified);
  walkDirectory(directory, searcher);
  return rankedResult(std::move(searcher.hits()), limit);
}

}  // namespace metdb
