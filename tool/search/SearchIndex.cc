#include "tool/search/SearchIndex.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/database/LocationFilter.h"
#include "tool/search/NameMatch.h"
#include "tool/text/SearchKey.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

constexpr int kBucketBits = 16;
constexpr std::uint32_t kNone = 0xffffffffu;

std::uint32_t trigramBucket(const char* at) {
  std::uint32_t code = static_cast<std::uint32_t>(static_cast<unsigned char>(at[0])) << 16 |
                       static_cast<std::uint32_t>(static_cast<unsigned char>(at[1])) << 8 |
                       static_cast<unsigned char>(at[2]);
  return (code * 2654435761u) >> (32 - kBucketBits);
}

bool isWordStart(const char* key, std::size_t at) {
  return at == 0 || (!isWordCharacter(key[at - 1]) && isWordCharacter(key[at]));
}

// The walk over the sorted word starts as a trie: each node is the range of
// word starts that share the text on the way to it, and carries the edit
// distance table's column for that text, as NameMatcher's near miss works
// it out. A range whose text comes within the allowed errors of the whole
// query holds candidates; a node whose column exceeds them everywhere, or
// that lies as deep as a near miss may reach, ends its branch. The
// candidates are given as places in the sorted starts.
class NearWalk {
 public:
  NearWalk(const std::string& query, const char* text, const std::vector<std::uint32_t>& starts,
           std::vector<std::uint32_t>* found)
      : query_(query),
        maxErrors_(allowedErrors(query.size())),
        maxDepth_(query.size() + static_cast<std::size_t>(maxErrors_)),
        text_(text),
        starts_(starts),
        found_(found),
        columns_(maxDepth_ + 1, std::vector<int>(query.size() + 1)),
        path_(maxDepth_ + 1) {
    for (std::size_t i = 0; i <= query.size(); ++i) columns_[0][i] = static_cast<int>(i);
  }

  void run() { children(0, starts_.size(), 0); }

 private:
  unsigned char at(std::size_t start, std::size_t depth) const {
    return static_cast<unsigned char>(text_[starts_[start] + depth]);
  }

  // The children of the node of range [lo, hi) at depth.
  void children(std::size_t lo, std::size_t hi, std::size_t depth) {
    while (lo < hi && at(lo, depth) == 0) ++lo;  // keys that end here
    while (lo < hi) {
      const unsigned char c = at(lo, depth);
      std::size_t end = lo + 1;
      // Ranges of one character are often short: look near before halving.
      if (end < hi && at(end, depth) == c) {
        std::size_t low = end, high = hi;
        while (low < high) {
          std::size_t mid = low + (high - low) / 2;
          if (at(mid, depth) == c) {
            low = mid + 1;
          } else {
            high = mid;
          }
        }
        end = low;
      }
      visit(lo, end, depth, static_cast<char>(c));
      lo = end;
    }
  }

  void visit(std::size_t lo, std::size_t hi, std::size_t depth, char c) {
    const std::size_t m = query_.size();
    const std::vector<int>& previous = columns_[depth];
    std::vector<int>& current = columns_[depth + 1];
    path_[depth] = c;
    const std::size_t column = depth + 1;
    current[0] = static_cast<int>(column);
    int lowest = current[0];
    for (std::size_t i = 1; i <= m; ++i) {
      int cost = query_[i - 1] == c ? 0 : 1;
      int value = std::min({previous[i] + 1, current[i - 1] + 1, previous[i - 1] + cost});
      if (i > 1 && column > 1 && query_[i - 1] == path_[depth - 1] && query_[i - 2] == c) {
        value = std::min(value, columns_[depth - 1][i - 2] + 1);
      }
      current[i] = value;
      lowest = std::min(lowest, value);
    }
    if (current[m] <= maxErrors_) {
      for (std::size_t s = lo; s < hi; ++s) found_->push_back(static_cast<std::uint32_t>(s));
      return;
    }
    if (lowest > maxErrors_ || column >= maxDepth_) return;
    children(lo, hi, depth + 1);
  }

  const std::string& query_;
  const int maxErrors_;
  const std::size_t maxDepth_;
  const char* text_;
  const std::vector<std::uint32_t>& starts_;
  std::vector<std::uint32_t>* found_;
  std::vector<std::vector<int>> columns_;
  std::vector<char> path_;
};

}  // namespace

SearchIndex::SearchIndex(Directory* directory) {
  const std::string* lastGroup[3] = {nullptr, nullptr, nullptr};
  std::uint32_t groups[3] = {0, 0, 0};
  auto groupKey = [&](const std::string* name, int level) {
    if (lastGroup[level] != name) {
      lastGroup[level] = name;
      groups[level] = static_cast<std::uint32_t>(groupKeys_.size());
      groupKeys_.push_back(searchKey(*name));
    }
    return groups[level];
  };
  forEachLocation(directory, [&](Continent* c, Country* k, State* s, Location* l) {
    const std::uint32_t entry = static_cast<std::uint32_t>(locations_.size());
    if (states_.empty() || states_.back().state != s || states_.back().country != k ||
        states_.back().continent != c) {
      states_.push_back({c, k, s, entry, entry, {groupKey(c, 0), groupKey(k, 1), groupKey(s, 2)}});
    }
    states_.back().end = entry + 1;
    locations_.push_back(l);
    places_.push_back({l->latitude, l->longitude, l->level});
    keyStart_.push_back(static_cast<std::uint32_t>(keyText_.size()));
    appendSearchKey(l->data(), l->size(), &keyText_);
    keyText_.push_back('\0');
  });
  keyStart_.push_back(static_cast<std::uint32_t>(keyText_.size()));

  const char* text = keyText_.data();
  std::vector<std::pair<std::uint32_t, std::uint32_t>> words;  // (start, entry)
  std::vector<std::uint32_t> lastEntry(std::size_t{1} << kBucketBits, kNone);
  bucketStart_.assign((std::size_t{1} << kBucketBits) + 1, 0);
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<std::uint32_t> fill;
    if (pass == 1) {
      for (std::size_t b = 1; b < bucketStart_.size(); ++b) bucketStart_[b] += bucketStart_[b - 1];
      bucketEntries_.resize(bucketStart_.back());
      fill.assign(bucketStart_.begin(), bucketStart_.end() - 1);
      std::fill(lastEntry.begin(), lastEntry.end(), kNone);
    }
    for (std::uint32_t entry = 0; entry < locations_.size(); ++entry) {
      const std::uint32_t begin = keyStart_[entry], end = keyStart_[entry + 1] - 1;
      for (std::uint32_t p = begin; p + 3 <= end; ++p) {
        const std::uint32_t b = trigramBucket(text + p);
        if (lastEntry[b] == entry) continue;
        lastEntry[b] = entry;
        if (pass == 0) {
          ++bucketStart_[b + 1];
        } else {
          bucketEntries_[fill[b]++] = entry;
        }
      }
      if (pass == 0) {
        for (std::uint32_t p = begin; p < end; ++p) {
          if (isWordStart(text + begin, p - begin)) words.emplace_back(p, entry);
        }
      }
    }
  }
  std::sort(words.begin(), words.end(), [text](const auto& a, const auto& b) {
    return std::strcmp(text + a.first, text + b.first) < 0;
  });
  wordStarts_.reserve(words.size());
  wordEntries_.reserve(words.size());
  for (const auto& [start, entry] : words) {
    wordStarts_.push_back(start);
    wordEntries_.push_back(entry);
  }
}

std::uint32_t SearchIndex::entryAt(std::uint32_t position) const {
  auto after = std::upper_bound(keyStart_.begin(), keyStart_.end(), position);
  return static_cast<std::uint32_t>(after - keyStart_.begin() - 1);
}

void SearchIndex::addCandidates(const std::string& query, std::vector<std::uint32_t>* holding,
                                std::vector<std::uint32_t>* near) const {
  const std::string_view text(keyText_);
  if (query.size() < 3) {
    // Too short for a trigram: every key that holds the query.
    for (std::size_t at = text.find(query); at != std::string_view::npos;) {
      const std::uint32_t entry = entryAt(static_cast<std::uint32_t>(at));
      holding->push_back(entry);
      at = text.find(query, keyStart_[entry + 1]);
    }
    return;
  }
  // Every key that holds the query holds its rarest trigram.
  std::uint32_t rarest = 0, fewest = kNone;
  for (std::size_t p = 0; p + 3 <= query.size(); ++p) {
    const std::uint32_t b = trigramBucket(query.data() + p);
    if (bucketStart_[b + 1] - bucketStart_[b] < fewest) {
      fewest = bucketStart_[b + 1] - bucketStart_[b];
      rarest = b;
    }
  }
  // and the next rarest: their lists, in walk order, are intersected before
  // any key is read.
  std::uint32_t second = rarest, secondFewest = kNone;
  for (std::size_t p = 0; p + 3 <= query.size(); ++p) {
    const std::uint32_t b = trigramBucket(query.data() + p);
    if (b != rarest && bucketStart_[b + 1] - bucketStart_[b] < secondFewest) {
      secondFewest = bucketStart_[b + 1] - bucketStart_[b];
      second = b;
    }
  }
  const std::uint32_t* other = bucketEntries_.data() + bucketStart_[second];
  const std::uint32_t* otherEnd = bucketEntries_.data() + bucketStart_[second + 1];
  for (std::uint32_t i = bucketStart_[rarest]; i < bucketStart_[rarest + 1]; ++i) {
    const std::uint32_t entry = bucketEntries_[i];
    if (second != rarest) {
      while (other != otherEnd && *other < entry) ++other;
      if (other == otherEnd) break;
      if (*other != entry) continue;
    }
    if (std::strstr(key(entry), query.c_str()) != nullptr) holding->push_back(entry);
  }
  if (allowedErrors(query.size()) > 0) {
    std::vector<std::uint32_t> starts;  // places in wordStarts_
    NearWalk(query, keyText_.data(), wordStarts_, &starts).run();
    for (std::uint32_t place : starts) near->push_back(wordEntries_[place]);
  }
}

namespace {

// A hit's rank as one number, smaller first, in searchLocations' order: its
// match's kind and errors, where it matched, the location's level, and its
// place in walk order (which no two hits share).
constexpr int kWalkBits = 47;

std::uint64_t rankKey(NameMatch match, MatchedLevel matchedLevel, int level, long walkPosition) {
  return static_cast<std::uint64_t>(match.kind) << 61 |
         static_cast<std::uint64_t>(match.errors) << 58 |
         static_cast<std::uint64_t>(matchedLevel) << 55 |
         static_cast<std::uint64_t>(level + 128) << kWalkBits |
         static_cast<std::uint64_t>(walkPosition);
}

// The best limit of the hits offered to it, by rank, and the number of all
// of them. Holds at most twice limit (limit and 16, for a small one) at a
// time: past that it keeps the best limit, and from then on knows the rank
// a hit must beat.
class BestHits {
 public:
  explicit BestHits(std::size_t limit)
      : limit_(limit), worst_(limit == 0 ? 0 : ~std::uint64_t{0}) {}

  // Whether a hit of rank key would be kept for now.
  bool mayKeep(std::uint64_t key) const { return key <= worst_; }

  // Counts a hit that cannot be kept (mayKeep false).
  void count() { ++total_; }

  // Offers the hit of entry, of rank key (rankKey; no two alike).
  void add(std::uint64_t key, std::uint32_t entry) {
    ++total_;
    if (!mayKeep(key)) return;
    kept_.push_back({key, entry});
    if (kept_.size() > limit_ && kept_.size() - limit_ >= std::max<std::size_t>(limit_, 16)) {
      settle();
    }
  }

  // Keeps only the best limit, when there are more, so that mayKeep knows
  // the rank to beat.
  void settle() {
    if (limit_ == 0 || kept_.size() < limit_) return;
    std::nth_element(kept_.begin(), kept_.begin() + static_cast<std::ptrdiff_t>(limit_ - 1),
                     kept_.end());
    kept_.resize(limit_);
    worst_ = kept_.back().first;
  }

  std::size_t total() const { return total_; }

  // The hits kept, best first: the best limit of all offered.
  std::vector<std::pair<std::uint64_t, std::uint32_t>> best() {
    std::sort(kept_.begin(), kept_.end());
    if (kept_.size() > limit_) kept_.resize(limit_);
    return std::move(kept_);
  }

 private:
  const std::size_t limit_;
  std::uint64_t worst_;
  std::size_t total_ = 0;
  std::vector<std::pair<std::uint64_t, std::uint32_t>> kept_;
};

}  // namespace

SearchResult SearchIndex::search(const std::string& text, const Filters& filters, std::size_t limit,
                                 const std::set<long>& identified) const {
  std::string query = searchQuery(text);
  LocationFilter filter(filters);
  std::vector<std::uint32_t> holding, near;
  addCandidates(query, &holding, &near);
  if (!identified.empty()) {
    for (std::uint32_t entry = 0; entry < locations_.size(); ++entry) {
      if (identified.count(locations_[entry]->locationIndex)) holding.push_back(entry);
    }
    std::sort(holding.begin(), holding.end());
    holding.erase(std::unique(holding.begin(), holding.end()), holding.end());
  }
  // The near misses that are only that, in walk order: their keys do not
  // hold the query, so each name matches as a near miss of at least one
  // error, and need not be matched when that cannot make the page. Sorted as
  // bits: the thousands of a query such as "p1234" at less cost than a sort.
  std::vector<std::uint32_t> nearOnly;
  if (!near.empty()) {
    std::vector<std::uint64_t> bits((locations_.size() + 63) / 64);
    for (std::uint32_t entry : near) bits[entry / 64] |= std::uint64_t{1} << entry % 64;
    for (std::uint32_t entry : holding) bits[entry / 64] &= ~(std::uint64_t{1} << entry % 64);
    for (std::size_t word = 0; word < bits.size(); ++word) {
      for (std::uint64_t left = bits[word]; left != 0; left &= left - 1) {
        nearOnly.push_back(static_cast<std::uint32_t>(
            word * 64 + static_cast<std::size_t>(__builtin_ctzll(left))));
      }
    }
  }

  NameMatcher matcher(query);
  // Each group's match, worked out when a state of it is first reached.
  std::vector<signed char> admitted(groupKeys_.size(), -1);
  std::vector<NameMatch> groupMatch(groupKeys_.size());
  const MatchedLevel groupLevel[3] = {MatchedLevel::kContinent, MatchedLevel::kCountry,
                                      MatchedLevel::kState};
  const bool namePattern = filter.deepestLevel() == 3;
  // Whether a near miss's place need not be read to know that it is a hit.
  const bool nearAdmitted = filter.admitsEveryPosition() && !namePattern;
  BestHits best(limit);
  // Two passes over the states in walk order: the first offers every hit
  // but the near misses only, the second those, by when the first has
  // mostly settled the rank that a hit must beat to make the page.
  for (int pass = 0; pass < 2; ++pass) {
    const std::vector<std::uint32_t>& listed = pass == 0 ? holding : nearOnly;
    auto candidate = listed.begin();
    auto nearCandidate = nearOnly.begin();  // in the first pass
    long walked = 0;                        // the locations of the groups admitted so far
    for (const StateRange& range : states_) {
      checkPoint();
      const std::string* names[3] = {range.continent, range.country, range.state};
      bool admits = true;
      for (int level = 0; level < 3 && admits; ++level) {
        const std::uint32_t g = range.keys[level];
        if (admitted[g] < 0) {
          admitted[g] = filter.admits(level, *names[level]) ? 1 : 0;
          if (admitted[g] == 1) groupMatch[g] = matcher.match(groupKeys_[g]);
        }
        admits = admitted[g] == 1;
      }
      auto rangeEnd = std::lower_bound(candidate, listed.end(), range.end);
      auto nearEnd =
          pass == 0 ? std::lower_bound(nearCandidate, nearOnly.end(), range.end) : nearOnly.end();
      if (!admits) {
        candidate = rangeEnd;
        nearCandidate = nearEnd;
        continue;
      }
      const long walkBase = walked - static_cast<long>(range.first);
      walked += static_cast<long>(range.end - range.first);
      bool groupFound = false;
      for (int level = 0; level < 3; ++level) {
        groupFound = groupFound || groupMatch[range.keys[level]].found();
      }
      // The rank of a location of this range whose name matches as match.
      auto rank = [&](NameMatch match, int level, long walkPosition) {
        MatchedLevel matchedLevel = MatchedLevel::kName;
        for (int g = 2; g >= 0; --g) {
          const NameMatch& group = groupMatch[range.keys[g]];
          if (group.before(match)) {
            match = group;
            matchedLevel = groupLevel[g];
          }
        }
        return match.found() ? rankKey(match, matchedLevel, level, walkPosition)
                             : ~std::uint64_t{0};
      };
      // named: a candidate; onlyNear: one of nearOnly.
      auto consider = [&](std::uint32_t entry, bool named, bool onlyNear) {
        const long walkPosition = walkBase + static_cast<long>(entry);
        if (onlyNear && nearAdmitted &&
            !best.mayKeep(rank(NameMatch{MatchKind::kNearMiss, 1}, INT8_MIN, walkPosition))) {
          best.count();
          return;
        }
        const Place& place = places_[entry];
        if (!filter.admitsPosition(place.level, place.latitude, place.longitude)) return;
        if (namePattern && !filter.admits(3, *locations_[entry])) return;
        if (!identified.empty() && identified.count(locations_[entry]->locationIndex)) {
          best.add(rankKey(NameMatch{MatchKind::kExact, 0}, MatchedLevel::kIdentifier, place.level,
                           walkPosition),
                   entry);
          return;
        }
        if (onlyNear &&
            !best.mayKeep(rank(NameMatch{MatchKind::kNearMiss, 1}, place.level, walkPosition))) {
          best.count();
          return;
        }
        const std::uint64_t ranked =
            rank(named ? matcher.match(key(entry)) : NameMatch(), place.level, walkPosition);
        if (ranked != ~std::uint64_t{0}) best.add(ranked, entry);
      };
      if (groupFound) {
        // Every location of the range is a hit: all in the first pass.
        if (pass == 1) {
          candidate = rangeEnd;
          continue;
        }
        for (std::uint32_t entry = range.first; entry < range.end; ++entry) {
          const bool held = candidate != rangeEnd && *candidate == entry;
          const bool onlyNear = nearCandidate != nearEnd && *nearCandidate == entry;
          consider(entry, held || onlyNear, onlyNear);
          if (held) ++candidate;
          if (onlyNear) ++nearCandidate;
        }
      } else {
        for (; candidate != rangeEnd; ++candidate) consider(*candidate, true, pass == 1);
      }
      candidate = rangeEnd;
      nearCandidate = nearEnd;
    }
    best.settle();
  }

  SearchResult result;
  result.total = best.total();
  for (const auto& [ranked, entry] : best.best()) {
    const StateRange& range =
        *(std::upper_bound(states_.begin(), states_.end(), entry,
                           [](std::uint32_t e, const StateRange& r) { return e < r.first; }) -
          1);
    const NameMatch match{static_cast<MatchKind>(ranked >> 61), static_cast<int>(ranked >> 58 & 7)};
    result.hits.push_back({range.continent, range.country, range.state, locations_[entry], match,
                           static_cast<MatchedLevel>(ranked >> 55 & 7),
                           static_cast<long>(ranked & ((std::uint64_t{1} << kWalkBits) - 1))});
  }
  return result;
}

}  // namespace metdb
