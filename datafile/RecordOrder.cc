#include "datafile/RecordOrder.h"

namespace {

int sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

inline int foldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Compares two name fields ignoring case, never reading past either field:
// stricmp of the fields' texts, where a field without a terminator ends at
// its last byte. Compared in place, since an import compares every record.
template <std::size_t N>
int compareField(const char (&a)[N], const char (&b)[N]) {
  for (std::size_t i = 0;; ++i) {
    int x = i < N ? foldAscii(static_cast<unsigned char>(a[i])) : 0;
    int y = i < N ? foldAscii(static_cast<unsigned char>(b[i])) : 0;
    if (x != y || x == 0) return sign(x - y);
  }
}

}  // namespace

int compareLocationData(const LocationData& a, const LocationData& b) {
  if (int c = compareField(a.continent, b.continent)) return c;
  if (int c = compareField(a.country, b.country)) return c;
  if (int c = compareField(a.state, b.state)) return c;
  if (int c = compareField(a.name, b.name)) return c;
  if (a.level != b.level) return a.level < b.level ? -1 : 1;
  if (a.latitude != b.latitude) return a.latitude < b.latitude ? -1 : 1;
  if (a.longitude != b.longitude) return a.longitude < b.longitude ? -1 : 1;
  return 0;
}
