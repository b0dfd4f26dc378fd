#ifndef METDB_TOOL_WEB_SNAPSHOTSOURCE_H_
#define METDB_TOOL_WEB_SNAPSHOTSOURCE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "tool/web/LocationSnapshot.h"

namespace metdb {

// The current state of a database for the server's requests. Each call of
// current() compares the data, directory and station files' sizes and
// modification times with those the snapshot was read at; when another process has
// changed them, one caller reads the new state and swaps it in, while the
// others go on answering from the one they hold. A state is swapped in
// with find's index built, so that no request waits for it. A failed reading (the
// files half-replaced by a writer) keeps the old state, and is tried again
// on the next call. Safe to call from many threads.
class SnapshotSource {
 public:
  // Reads the first state now; throws Error as LocationSnapshot::load.
  SnapshotSource(std::string dataFile, double waitSeconds);

  // The state to answer a request from; never null.
  std::shared_ptr<const LocationSnapshot> current();

  // Called with a sentence when a new state is read, or reading one fails.
  void onReload(std::function<void(const std::string&)> tell) { tell_ = std::move(tell); }

  // How many states have been read, the first included.
  long generation() const;

 private:
  struct Stamp {
    std::uintmax_t dataSize = 0, directorySize = 0, stationSize = 0;
    std::int64_t dataTime = 0, directoryTime = 0, stationTime = 0;
    bool operator==(const Stamp& o) const {
      return dataSize == o.dataSize && directorySize == o.directorySize && dataTime == o.dataTime &&
             directoryTime == o.directoryTime && stationSize == o.stationSize &&
             stationTime == o.stationTime;
    }
  };
  Stamp stampNow() const;

  std::string dataFile_;
  std::string directoryFile_;
  std::string stationFile_;
  double waitSeconds_;
  std::function<void(const std::string&)> tell_;
  mutable std::mutex mutex_;  // guards snapshot_, stamp_, generation_
  std::mutex loading_;        // held by the one caller that reads a new state
  std::shared_ptr<const LocationSnapshot> snapshot_;
  Stamp stamp_;
  long generation_ = 0;
};

}  // namespace metdb

#endif  // METDB_TOOL_WEB_SNAPSHOTSOURCE_H_
