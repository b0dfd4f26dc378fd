#include "tool/search/NameMatch.h"

#include <algorithm>
#include <utility>

namespace metdb {

bool isWordCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         (static_cast<unsigned char>(c) >= 0x80);
}

namespace {

// The fewest typing errors that turn query into some prefix of text[start..]
// (an optimal string alignment distance: insertions, deletions,
// substitutions and swaps of neighbours), or maxErrors + 1 when it exceeds
// maxErrors. Columns run over text, so the work stops as soon as every
// alignment has more errors than allowed.
}  // namespace

int NameMatcher::prefixErrors(std::string_view text, std::size_t start) {
  const std::string& query = query_;
  const int maxErrors = maxErrors_;
  const std::size_t m = query.size();
  const int over = maxErrors + 1;
  std::vector<int>& twoBack = twoBack_;
  std::vector<int>& previous = previous_;
  std::vector<int>& current = current_;
  for (std::size_t i = 0; i <= m; ++i) previous[i] = static_cast<int>(i);
  int best = previous[m];
  const std::size_t end = std::min(text.size(), start + m + static_cast<std::size_t>(maxErrors));
  for (std::size_t j = start; j < end; ++j) {
    const std::size_t column = j - start + 1;
    current[0] = static_cast<int>(column);
    int lowest = current[0];
    for (std::size_t i = 1; i <= m; ++i) {
      int cost = query[i - 1] == text[j] ? 0 : 1;
      int value = std::min({previous[i] + 1, current[i - 1] + 1, previous[i - 1] + cost});
      if (i > 1 && column > 1 && query[i - 1] == text[j - 1] && query[i - 2] == text[j]) {
        value = std::min(value, twoBack[i - 2] + 1);
      }
      current[i] = value;
      lowest = std::min(lowest, value);
    }
    best = std::min(best, current[m]);
    if (lowest >= over) break;
    std::swap(twoBack, previous);
    std::swap(previous, current);
  }
  return std::min(best, over);
}

int allowedErrors(std::size_t length) { return length < 4 ? 0 : length < 8 ? 1 : 2; }

NameMatcher::NameMatcher(std::string query)
    : query_(std::move(query)),
      maxErrors_(allowedErrors(query_.size())),
      twoBack_(query_.size() + 1),
      previous_(query_.size() + 1),
      current_(query_.size() + 1) {}

NameMatch NameMatcher::match(std::string_view key) {
  const std::string& query = query_;
  if (key == query) return {MatchKind::kExact, 0};
  if (key.compare(0, query.size(), query) == 0) return {MatchKind::kPrefix, 0};
  std::size_t at = key.find(query);
  if (at != std::string::npos) {
    for (; at != std::string::npos; at = key.find(query, at + 1)) {
      if (!isWordCharacter(key[at - 1]) && isWordCharacter(key[at])) {
        return {MatchKind::kWordPrefix, 0};
      }
    }
    return {MatchKind::kSubstring, 0};
  }
  const int maxErrors = maxErrors_;
  if (maxErrors == 0) return {};
  int errors = maxErrors + 1;
  for (std::size_t start = 0; start < key.size() && errors > 1; ++start) {
    if (start > 0 && (isWordCharacter(key[start - 1]) || !isWordCharacter(key[start]))) continue;
    errors = std::min(errors, prefixErrors(key, start));
  }
  if (errors > maxErrors) return {};
  return {MatchKind::kNearMiss, errors};
}

const char* matchKindName(MatchKind kind) {
  switch (kind) {
    case MatchKind::kExact:
      return "exact";
    case MatchKind::kPrefix:
      return "prefix";
    case MatchKind::kWordPrefix:
      return "word";
    case MatchKind::kSubstring:
      return "substring";
    case MatchKind::kNearMiss:
      return "near";
    case MatchKind::kNone:
      break;
  }
  return "none";
}

}  // namespace metdb
