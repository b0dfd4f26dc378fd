#include "datafile/SharedLock.h"

#include <map>
#include <utility>

#include "platform/Failure.h"

namespace {

constexpr int kDatabaseSlot = 0;
constexpr int kUnsavedSlot = 1;

double waitLimit = 60.0;

// The lock files this process has open, by file identity, so that every
// user of one lock file goes through one open file description (locks
// taken through two of them would conflict within the process). Made when
// the first is opened and freed with the last, so that it neither depends
// on the order of destruction when the library is unloaded nor outlives it.
using LockTable = std::map<std::pair<std::uint64_t, std::uint64_t>, std::weak_ptr<SharedLock>>;
LockTable* openLocks = nullptr;

}  // namespace

std::shared_ptr<SharedLock> SharedLock::open(const std::string& name) {
  platform::LockFile file;
  if (!file.open(name)) return nullptr;
  platform::FileStamp stamp = file.stamp();
  auto key = std::make_pair(stamp.device, stamp.inode);
  if (openLocks == nullptr) openLocks = new LockTable;
  auto found = openLocks->find(key);
  if (found != openLocks->end()) {
    if (std::shared_ptr<SharedLock> existing = found->second.lock()) return existing;
  }
  std::shared_ptr<SharedLock> lock(new SharedLock(std::move(file), name));
  (*openLocks)[key] = lock;
  return lock;
}

SharedLock::SharedLock(platform::LockFile file, std::string name)
    : file_(std::move(file)), name_(std::move(name)) {}

SharedLock::~SharedLock() {
  if (openLocks == nullptr) return;
  platform::FileStamp stamp = file_.stamp();
  openLocks->erase(std::make_pair(stamp.device, stamp.inode));
  if (openLocks->empty()) {
    delete openLocks;
    openLocks = nullptr;
  }
}

double SharedLock::waitSeconds() { return waitLimit; }

void SharedLock::setWaitSeconds(double seconds) { waitLimit = seconds < 0 ? 0 : seconds; }

bool SharedLock::setSlot(int slot, platform::LockFile::Kind kind, double seconds, bool* wasBusy) {
  if (kind == platform::LockFile::kExclusive && file_.readOnly()) {
    platform::noteFailure("the lock file \"" + name_ +
                          "\" can only be read, so the database cannot be changed");
    return false;
  }
  double deadline = platform::monotonicSeconds() + seconds;
  int pause = 1;
  for (;;) {
    bool busy = false;
    if (file_.set(slot, kind, &busy)) return true;
    if (!busy) return false;
    if (platform::monotonicSeconds() >= deadline) {
      if (wasBusy != nullptr) *wasBusy = true;
      platform::noteFailure("another process kept the database locked (\"" + name_ + "\")");
      return false;
    }
    platform::sleepMilliseconds(pause);
    if (pause < 50) pause *= 2;
  }
}

bool SharedLock::acquire(Mode mode, double seconds, bool* busy) {
  if (exclusiveHolds_ > 0 || (mode == kShared && sharedHolds_ > 0)) {
    ++(mode == kShared ? sharedHolds_ : exclusiveHolds_);
    return true;
  }
  auto kind = mode == kShared ? platform::LockFile::kShared : platform::LockFile::kExclusive;
  if (!setSlot(kDatabaseSlot, kind, seconds, busy)) return false;
  ++(mode == kShared ? sharedHolds_ : exclusiveHolds_);
  return true;
}

void SharedLock::release(Mode mode) {
  int& holds = mode == kShared ? sharedHolds_ : exclusiveHolds_;
  if (holds == 0) return;
  --holds;
  if (exclusiveHolds_ > 0) return;
  bool busy = false;
  file_.set(kDatabaseSlot,
            sharedHolds_ > 0 ? platform::LockFile::kShared : platform::LockFile::kUnlocked, &busy);
}

void SharedLock::markUnsaved(const void* owner) {
  if (unsaved_.empty()) {
    bool busy = false;
    file_.set(kUnsavedSlot, platform::LockFile::kShared, &busy);
  }
  unsaved_.insert(owner);
}

void SharedLock::clearUnsaved(const void* owner) {
  if (unsaved_.erase(owner) == 0 || !unsaved_.empty()) return;
  bool busy = false;
  file_.set(kUnsavedSlot, platform::LockFile::kUnlocked, &busy);
}

bool SharedLock::othersHoldUnsaved(const void* owner) {
  for (const void* holder : unsaved_) {
    if (holder != owner) return true;
  }
  bool busy = false;
  // Exclusive only when no other open file holds the slot; our own shared
  // hold, if any, is converted in place and put back.
  if (!file_.set(kUnsavedSlot, platform::LockFile::kExclusive, &busy)) return busy;
  file_.set(kUnsavedSlot,
            unsaved_.empty() ? platform::LockFile::kUnlocked : platform::LockFile::kShared, &busy);
  return false;
}

LockHold::LockHold(SharedLock* lock, SharedLock::Mode mode, double seconds)
    : lock_(lock), mode_(mode), ok_(lock == nullptr || lock->acquire(mode, seconds)) {}

LockHold::~LockHold() {
  if (lock_ != nullptr && ok_) lock_->release(mode_);
}
