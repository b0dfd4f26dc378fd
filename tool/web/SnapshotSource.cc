#include "tool/web/SnapshotSource.h"

#include "datafile/StationFile.h"
#include "platform/Env.h"
#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/database/Database.h"

namespace metdb {

namespace {

void stampOf(const std::string& path, std::uintmax_t* size, std::int64_t* time) {
  platform::FileStatus status;
  bool known = platform::Env::current()->statusOf(path, &status, true) && status.stamp.exists;
  *size = known ? static_cast<std::uintmax_t>(status.stamp.size) : 0;
  *time = known ? status.stamp.modifiedNs : 0;
}

}  // namespace

SnapshotSource::SnapshotSource(std::string dataFile, double waitSeconds)
    : dataFile_(std::move(dataFile)), waitSeconds_(waitSeconds) {
  directoryFile_ = Database(dataFile_, waitSeconds_).directoryFile();
  stationFile_ = StationFile::nameFor(dataFile_);
  stamp_ = stampNow();
  snapshot_ = LocationSnapshot::load(dataFile_, waitSeconds_);
  snapshot_->searchIndex();
  generation_ = 1;
}

SnapshotSource::Stamp SnapshotSource::stampNow() const {
  Stamp s;
  stampOf(dataFile_, &s.dataSize, &s.dataTime);
  stampOf(directoryFile_, &s.directorySize, &s.directoryTime);
  stampOf(stationFile_, &s.stationSize, &s.stationTime);
  return s;
}

std::shared_ptr<const LocationSnapshot> SnapshotSource::current() {
  Stamp now = stampNow();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (now == stamp_) return snapshot_;
  }
  // One caller reads the new state; the others answer from the old one.
  std::unique_lock<std::mutex> loading(loading_, std::try_to_lock);
  if (!loading.owns_lock()) {
    std::lock_guard<std::mutex> lock(mutex_);
    return snapshot_;
  }
  // The stamp is taken before reading: a change made while reading shows
  // as another change on the next call.
  now = stampNow();
  // Every request after this one needs the new state: the one that reads it
  // is not held to its own time limit.
  CheckPointNoDeadline unlimited;
  try {
    std::shared_ptr<const LocationSnapshot> fresh = LocationSnapshot::load(dataFile_, waitSeconds_);
    fresh->searchIndex();
    std::lock_guard<std::mutex> lock(mutex_);
    snapshot_ = fresh;
    stamp_ = now;
    ++generation_;
    if (tell_) tell_("Read the database again: " + std::to_string(fresh->count()) + " locations.");
    return snapshot_;
  } catch (const Error& e) {
    if (tell_) tell_(std::string("Kept the previous state: ") + e.what());
    std::lock_guard<std::mutex> lock(mutex_);
    return snapshot_;
  }
}

long SnapshotSource::generation() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return generation_;
}

}  // namespace metdb
