#include "datafile/RecordOrder.h"

#include "platform/Stricmp.h"

namespace {

int sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// Compares two name fields ignoring case, never reading past either field.
template <std::size_t N>
int compareField(const char (&a)[N], const char (&b)[N]) {
  return sign(platform::stricmp(fieldText(a).c_str(), fieldText(b).c_str()));
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
