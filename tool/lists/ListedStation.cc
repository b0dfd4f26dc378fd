#include "tool/lists/ListedStation.h"

#include "datafile/StationFile.h"
#include "tool/text/Text.h"

namespace metdb {

bool rowError(ListedStations* out, long line, const std::string& column,
              const std::string& message) {
  out->errors.push_back({line, column, message});
  return false;
}

bool readingStops(const ListedStations& out, const ListOptions& options) {
  return out.fatal || (!options.skipBadRows && !out.errors.empty());
}

std::string ghcnStateOf(const std::string& country, const std::string& code,
                        const ListOptions& options) {
  if (code.empty() || !options.ghcnState) return code;
  std::string name = options.ghcnState(country, code);
  return name.empty() ? code : name;
}

void addListedId(ListedStation* s, const std::string& scheme, const std::string& value) {
  std::string v = text::trimBlanks(value);
  if (v.empty()) return;
  std::string id = scheme + ":" + v;
  if (StationFile::IsWellFormedId(id)) s->station.addId(id);
}

void setListedElevation(ListedStation* s, const std::string& value, double factor,
                        double missingAtOrBelow) {
  double v = 0;
  std::string t = text::trimBlanks(value);
  if (t.empty() || !text::parseNumber(t, &v) || v <= missingAtOrBelow) return;
  s->station.elevation = v * factor;
}

}  // namespace metdb
