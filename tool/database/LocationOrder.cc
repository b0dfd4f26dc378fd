#include "tool/database/LocationOrder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "datafile/LocationData.h"
#include "tool/Error.h"
#include "tool/database/SelectedLocations.h"
#include "tool/text/SearchKey.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// The entries are kept small, as there is one per location: the walk
// position fits 32 bits for any data file below 1.4 TB.
struct NumberEntry {
  long index;
  std::uint32_t position;
  float value;
};
struct TextEntry {
  long index;
  std::size_t offset;  // of the key in the pool
  std::uint32_t size;
  std::uint32_t position;
};

bool isTextKey(SortKey key) {
  return key == SortKey::kName || key == SortKey::kCountry || key == SortKey::kState ||
         key == SortKey::kContinent;
}

template <std::size_t N>
void appendKey(const char (&field)[N], std::string* pool) {
  const void* end = std::memchr(field, '\0', N);
  appendSearchKey(field, end ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : N,
                  pool);
}

void appendTextKey(const LocationData& r, SortKey key, std::string* pool) {
  switch (key) {
    case SortKey::kName:
      return appendKey(r.name, pool);
    case SortKey::kCountry:
      return appendKey(r.country, pool);
    case SortKey::kState:
      return appendKey(r.state, pool);
    default:
      return appendKey(r.continent, pool);
  }
}

// The number that orders r by key; the record index is compared whole
// instead, as a float cannot hold every index.
float numberKey(const LocationData& r, SortKey key) {
  switch (key) {
    case SortKey::kLatitude:
      return r.latitude;
    case SortKey::kLongitude:
      return r.longitude;
    case SortKey::kLevel:
      return r.level;
    default:
      return 0;
  }
}

// <0, 0 or >0 as a comes before, with or after b; a value that is no
// number comes after every number, whichever the direction.
int compareNumbers(float a, float b, bool descending) {
  bool aNan = std::isnan(a), bNan = std::isnan(b);
  if (aNan || bNan) return aNan == bNan ? 0 : (aNan ? 1 : -1);
  if (a == b) return 0;
  return (a < b) != descending ? -1 : 1;
}

std::vector<long> sortedByNumber(SelectedLocations& selected, SortKey key, bool descending) {
  std::vector<NumberEntry> entries;
  entries.reserve(static_cast<std::size_t>(selected.count()));
  selected.forEach([&](const LocationData& r, long index) {
    entries.push_back({index, static_cast<std::uint32_t>(entries.size()), numberKey(r, key)});
  });
  std::sort(entries.begin(), entries.end(), [&](const NumberEntry& a, const NumberEntry& b) {
    int order = key == SortKey::kIndex
                    ? (a.index == b.index ? 0 : ((a.index < b.index) != descending ? -1 : 1))
                    : compareNumbers(a.value, b.value, descending);
    return order != 0 ? order < 0 : a.position < b.position;
  });
  std::vector<long> indices;
  indices.reserve(entries.size());
  for (const NumberEntry& e : entries) indices.push_back(e.index);
  return indices;
}

std::vector<long> sortedByText(SelectedLocations& selected, SortKey key, bool descending) {
  std::vector<TextEntry> entries;
  entries.reserve(static_cast<std::size_t>(selected.count()));
  std::string pool;
  selected.forEach([&](const LocationData& r, long index) {
    std::size_t offset = pool.size();
    appendTextKey(r, key, &pool);
    entries.push_back({index, offset, static_cast<std::uint32_t>(pool.size() - offset),
                       static_cast<std::uint32_t>(entries.size())});
  });
  std::string_view keys(pool);
  std::sort(entries.begin(), entries.end(), [&](const TextEntry& a, const TextEntry& b) {
    int order = keys.substr(a.offset, a.size).compare(keys.substr(b.offset, b.size));
    if (descending) order = -order;
    return order != 0 ? order < 0 : a.position < b.position;
  });
  std::vector<long> indices;
  indices.reserve(entries.size());
  for (const TextEntry& e : entries) indices.push_back(e.index);
  return indices;
}

}  // namespace

const std::vector<std::string>& sortKeyNames() {
  static const std::vector<std::string> names = {"name",  "latitude", "longitude", "level",
                                                 "index", "country",  "state",     "continent"};
  return names;
}

SortKey parseSortKey(const std::string& name) {
  const std::vector<std::string>& names = sortKeyNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (name == names[i]) return static_cast<SortKey>(i);
  }
  std::string all;
  for (const std::string& n : names) all += (all.empty() ? "" : ", ") + n;
  throw Error(text::quoted(name) + " is no key to sort by; the keys are " + all + ".",
              Error::Cause::kBadInput);
}

std::vector<long> sortedRecordIndices(SelectedLocations& selected, SortKey key, bool descending) {
  return isTextKey(key) ? sortedByText(selected, key, descending)
                        : sortedByNumber(selected, key, descending);
}

}  // namespace metdb
