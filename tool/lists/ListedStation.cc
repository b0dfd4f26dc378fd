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

}  // namespace metdb
