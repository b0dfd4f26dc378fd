#include "tool/search/SearchIndex.h"

#include <algorithm>
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

void SearchIndex::addCandidates(const std::string& query,
                                std::vector<std::uint32_t>* entries) const {
  const std::string_view text(keyText_);
  if (query.size() < 3) {
    // Too short for a trigram: every key that holds the query.
    for (std::size_t at = text.find(query); at != std::string_view::npos;) {
      const std::uint32_t entry = entryAt(static_cast<std::uint32_t>(at));
      entries->push_back(entry);
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
  for (std::uint32_t i = bucketStart_[rarest]; i < bucketStart_[rarest + 1]; ++i) {
    const std::uint32_t entry = bucketEntries_[i];
    if (std::strstr(key(entry), query.c_str()) != nullptr) entries->push_back(entry);
  }
  if (allowedErrors(query.size()) > 0) addNearCandidates(query, entries);
}

void SearchIndex::addNearCandidates(const std::string& query,
                                    std::vector<std::uint32_t>* entries) const {
  std::vector<std::uint32_t> starts;  // places in wordStarts_
  NearWalk(query, keyText_.data(), wordStarts_, &starts).run();
  for (std::uint32_t place : starts) entries->push_back(wordEntries_[place]);
}

SearchResult SearchIndex::search(const std::string& text, const Filters& filters, std::size_t limit,
                                 const std::set<long>& identified) const {
  std::string query = searchQuery(text);
  LocationFilter filter(filters);
  std::vector<std::uint32_t> candidates;
  addCandidates(query, &candidates);
  if (!identified.empty()) {
    for (std::uint32_t entry = 0; entry < locations_.size(); ++entry) {
      if (identified.count(locations_[entry]->locationIndex)) candidates.push_back(entry);
    }
  }
  std::sort(candidates.begin(), candidates.end());
  candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());

  NameMatcher matcher(query);
  // Each group's match, worked out when a state of it is first reached.
  std::vector<signed char> admitted(groupKeys_.size(), -1);
  std::vector<NameMatch> groupMatch(groupKeys_.size());
  const MatchedLevel groupLevel[3] = {MatchedLevel::kContinent, MatchedLevel::kCountry,
                                      MatchedLevel::kState};
  std::vector<SearchHit> hits;
  auto candidate = candidates.begin();
  long walked = 0;  // the locations of the groups admitted so far
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
    auto rangeEnd = std::lower_bound(candidate, candidates.end(), range.end);
    if (!admits) {
      candidate = rangeEnd;
      continue;
    }
    const long walkBase = walked - static_cast<long>(range.first);
    walked += static_cast<long>(range.end - range.first);
    bool groupFound = false;
    for (int level = 0; level < 3; ++level) {
      groupFound = groupFound || groupMatch[range.keys[level]].found();
    }
    auto consider = [&](std::uint32_t entry, bool named) {
      Location* l = locations_[entry];
      if (!filter.admitsPosition(*l) || !filter.admits(3, *l)) return;
      SearchHit hit{range.continent,
                    range.country,
                    range.state,
                    l,
                    NameMatch(),
                    MatchedLevel::kName,
                    walkBase + static_cast<long>(entry)};
      if (named) hit.match = matcher.match(key(entry));
      for (int level = 2; level >= 0; --level) {
        const NameMatch& group = groupMatch[range.keys[level]];
        if (group.before(hit.match)) {
          hit.match = group;
          hit.matchedLevel = groupLevel[level];
        }
      }
      if (identified.count(l->locationIndex)) {
        hit.match = NameMatch{MatchKind::kExact, 0};
        hit.matchedLevel = MatchedLevel::kIdentifier;
      }
      if (hit.match.found()) hits.push_back(hit);
    };
    if (groupFound) {
      for (std::uint32_t entry = range.first; entry < range.end; ++entry) {
        const bool named = candidate != rangeEnd && *candidate == entry;
        if (named) ++candidate;
        consider(entry, named);
      }
    } else {
      for (; candidate != rangeEnd; ++candidate) consider(*candidate, true);
    }
    candidate = rangeEnd;
  }

  return rankedResult(std::move(hits), limit);
}

}  // namespace metdb
