#include "tool/record/DuplicateRows.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_set>

#include "tool/CheckPoint.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;

unsigned char folded(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

// Mixes a name field, up to its first zero byte and folded to small ASCII
// letters, and then the zero byte that ends it, into hash.
template <std::size_t N>
void mixName(std::uint64_t* hash, const char (&field)[N]) {
  for (std::size_t i = 0; i < N && field[i] != '\0'; ++i) {
    *hash = (*hash ^ folded(field[i])) * kFnvPrime;
  }
  *hash *= kFnvPrime;
}

template <std::size_t N>
bool sameName(const char (&a)[N], const char (&b)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    if (folded(a[i]) != folded(b[i])) return false;
    if (a[i] == '\0') return true;
  }
  return true;
}

// The bits of a coordinate, with -0 taken as 0 so that equal values hash
// alike.
std::uint32_t coordinateBits(float value) {
  if (value == 0.0f) value = 0.0f;
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Hash and equality of the rows of one list, referred to by their index.
struct RowHash {
  const std::vector<StationRow>* rows;
  std::size_t operator()(std::size_t i) const {
    const LocationData& r = (*rows)[i].record;
    std::uint64_t hash = kFnvOffset;
    mixName(&hash, r.name);
    mixName(&hash, r.state);
    mixName(&hash, r.country);
    mixName(&hash, r.continent);
    std::uint64_t numbers =
        (std::uint64_t{coordinateBits(r.latitude)} << 32) | coordinateBits(r.longitude);
    hash = (hash ^ numbers) * kFnvPrime;
    hash = (hash ^ static_cast<std::uint8_t>(r.level)) * kFnvPrime;
    return static_cast<std::size_t>(hash ^ (hash >> 32));
  }
};

struct SameRow {
  const std::vector<StationRow>* rows;
  bool operator()(std::size_t i, std::size_t j) const {
    const LocationData& a = (*rows)[i].record;
    const LocationData& b = (*rows)[j].record;
    float alat = a.latitude, blat = b.latitude, alon = a.longitude, blon = b.longitude;
    return a.level == b.level && alat == blat && alon == blon && sameName(a.name, b.name) &&
           sameName(a.state, b.state) && sameName(a.country, b.country) &&
           sameName(a.continent, b.continent);
  }
};

}  // namespace

std::vector<DuplicateRow> removeDuplicateRows(std::vector<StationRow>* rows) {
  std::vector<DuplicateRow> removed;
  // The set holds the indices of the rows kept so far, which move down over
  // the removed ones; a kept row's index never changes once it is in the set.
  std::unordered_set<std::size_t, RowHash, SameRow> kept(rows->size(), RowHash{rows},
                                                         SameRow{rows});
  std::size_t next = 0;
  for (std::size_t i = 0; i < rows->size(); ++i) {
    checkPoint();
    if (next != i) (*rows)[next] = (*rows)[i];
    auto [earlier, isNew] = kept.insert(next);
    if (isNew) {
      ++next;
    } else {
      removed.push_back({(*rows)[next].line, (*rows)[*earlier].line});
    }
  }
  rows->resize(next);
  return removed;
}

void dropDuplicateRows(StationCsvResult* result) {
  std::vector<DuplicateRow> duplicates = removeDuplicateRows(&result->rows);
  if (duplicates.empty()) return;
  for (const DuplicateRow& d : duplicates) result->repeatedLines.push_back({d.line, d.firstLine});
  result->duplicateRows = static_cast<long>(duplicates.size());
  // One warning for them all, as a list may repeat thousands of rows.
  std::string message = "this row repeats line " + std::to_string(duplicates.front().firstLine) +
                        " (the same name, state, country, continent, level, latitude and "
                        "longitude) and is left out";
  if (duplicates.size() > 1) {
    long more = result->duplicateRows - 1;
    message += ", as " + std::string(more == 1 ? "is " : "are ") +
               text::plural(more, "more row that repeats an earlier one",
                            "more rows that repeat earlier ones") +
               " (\"metdb validate --repeats\" with the same options lists them all)";
  }
  result->warnings.push_back({duplicates.front().line, "", message});
  std::stable_sort(
      result->warnings.begin(), result->warnings.end(),
      [](const StationCsvIssue& a, const StationCsvIssue& b) { return a.line < b.line; });
}

}  // namespace metdb
