#include "tool/Error.h"

namespace metdb {

Error lostDataFile(const std::string& dataFile) {
  return Error("Cannot read the data file \"" + dataFile + "\" any more; the work stopped.",
               Error::Cause::kSystem);
}

}  // namespace metdb
