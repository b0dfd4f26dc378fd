#include "tool/lists/ListedStation.h"

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

}  // namespace metdb
