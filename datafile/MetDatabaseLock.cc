#include "datafile/MetDatabaseLock.h"

#include <memory>
#include <string>

#include "datafile/SharedLock.h"
#include "platform/Failure.h"

namespace {

using Holder = std::shared_ptr<SharedLock>;

SharedLock::Mode modeOf(int mode) {
  return mode == MetDatabaseLock::kShared ? SharedLock::kShared : SharedLock::kExclusive;
}

}  // namespace

MetDatabaseLock::MetDatabaseLock(const char* dataFileName)
    : lock_(nullptr), holder_(nullptr), held_(-1), busy_(false) {
  Holder lock = SharedLock::open(std::string(dataFileName ? dataFileName : ""));
  if (lock == nullptr) return;
  lock_ = lock.get();
  holder_ = new Holder(std::move(lock));
}

MetDatabaseLock::~MetDatabaseLock() {
  unlock();
  delete static_cast<Holder*>(holder_);
}

bool MetDatabaseLock::IsUsable() { return lock_ != nullptr; }

bool MetDatabaseLock::lock(Mode mode, double seconds) {
  unlock();
  busy_ = false;
  if (lock_ == nullptr) {
    // The reason noted when the file would not open, if nothing replaced it.
    if (!platform::hasFailure()) {
      platform::noteFailure("the database's lock file cannot be opened");
    }
    return false;
  }
  platform::clearFailure();
  if (!lock_->acquire(modeOf(mode), seconds, &busy_)) return false;
  held_ = mode;
  return true;
}

void MetDatabaseLock::unlock() {
  if (held_ < 0) return;
  lock_->release(modeOf(held_));
  held_ = -1;
}

bool MetDatabaseLock::IsLocked() { return held_ >= 0; }

bool MetDatabaseLock::WasBusy() { return busy_; }

double MetDatabaseLock::getWaitSeconds() { return SharedLock::waitSeconds(); }

void MetDatabaseLock::setWaitSeconds(double seconds) { SharedLock::setWaitSeconds(seconds); }
