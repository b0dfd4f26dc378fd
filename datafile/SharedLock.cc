#include "datafile/SharedLock.h"

#include <map>
#include <utility>

#include "platform/Failure.h"

namespace {

constexpr int kDatabaseSlot = 0;
constexpr int kUnsavedSlot = 1;

double waitLimit = 60.0;

// The guard's slots: bytes of the data file far beyond any record that
// the file needs to be read for (locks of an open file are advisory: they
// keep out other lockers, not reads and writes).
constexpr int kGuardDatabaseSlot = 0x7ffffff0;
constexpr int kGuardUnsavedSlot = 0x7ffffff1;

// How many times a replaced lock file is followed before giving up: a
// name replaced again and again is an attack, not a person's slip.
constexpr int kFollowAttempts = 20;

using Key = std::pair<std::uint64_t, std::uint64_t>;

Key keyOf(const platform::FileStamp& stamp) { return std::make_pair(stamp.device, stamp.inode); }

// The databases this process has locks of, by the identity of their lock
// file and of their data file, so that every user of one database goes
// through one open file description of each (locks taken through two of
// them would conflict within the process), even when one of the files was
// replaced in between. Made when the first is opened and freed with the
// last, so that it neither depends on the order of destruction when the
// library is unloaded nor outlives it.
using LockTable = std::map<Key, std::weak_ptr<SharedLock>>;
LockTable* openLocks = nullptr;

std::shared_ptr<SharedLock> findLock(const platform::FileStamp& stamp) {
  if (openLocks == nullptr || !stamp.exists) return nullptr;
  auto found = openLocks->find(keyOf(stamp));
  return found == openLocks->end() ? nullptr : found->second.lock();
}

platform::LockFile::Kind unlockedOr(bool shared) {
  return shared ? platform::LockFile::kShared : platform::LockFile::kUnlocked;
}

}  // namespace

std::shared_ptr<SharedLock> SharedLock::open(const std::string& dataFileName) {
  std::string name = dataFileName + ".lock";
  platform::LockFile file;
  if (!file.open(name, dataFileName)) return nullptr;
  if (std::shared_ptr<SharedLock> existing = findLock(file.stamp())) return existing;
  if (std::shared_ptr<SharedLock> existing = findLock(platform::stampOf(dataFileName))) {
    return existing;
  }
  std::shared_ptr<SharedLock> lock(new SharedLock(std::move(file), name, dataFileName));
  if (openLocks == nullptr) openLocks = new LockTable;
  lock->lockKey_ = keyOf(lock->file_.stamp());
  (*openLocks)[lock->lockKey_] = lock;
  return lock;
}

SharedLock::SharedLock(platform::LockFile file, std::string name, std::string dataFileName)
    : file_(std::move(file)), name_(std::move(name)), dataFileName_(std::move(dataFileName)) {}

SharedLock::~SharedLock() {
  if (openLocks == nullptr) return;
  for (const Key& key : {lockKey_, guardKey_}) {
    auto found = openLocks->find(key);
    if (found != openLocks->end() && found->second.expired()) openLocks->erase(found);
  }
  if (openLocks->empty()) {
    delete openLocks;
    openLocks = nullptr;
  }
}

void SharedLock::rekey(Key* key, const platform::FileStamp& stamp) {
  if (openLocks == nullptr) return;
  auto found = openLocks->find(*key);
  if (found != openLocks->end()) {
    std::shared_ptr<SharedLock> owner = found->second.lock();
    if (owner == nullptr || owner.get() == this) openLocks->erase(found);
  }
  *key = keyOf(stamp);
  if (stamp.exists) (*openLocks)[*key] = weak_from_this();
}

double SharedLock::waitSeconds() { return waitLimit; }

void SharedLock::setWaitSeconds(double seconds) { waitLimit = seconds < 0 ? 0 : seconds; }

bool SharedLock::setSlot(platform::LockFile& file, int slot, platform::LockFile::Kind kind,
                         double seconds, bool* wasBusy) {
  if (kind == platform::LockFile::kExclusive && file.readOnly()) {
    platform::noteFailure("the lock file \"" + name_ +
                          "\" can only be read, so the database cannot be changed");
    return false;
  }
  double deadline = platform::monotonicSeconds() + seconds;
  int pause = 1;
  for (;;) {
    bool busy = false;
    if (file.set(slot, kind, &busy)) return true;
    if (!busy) return false;
    if (platform::monotonicSeconds() >= deadline) {
      if (wasBusy != nullptr) *wasBusy = true;
      // Which kind of holder is in the way; the system does not say which
      // process holds a lock of an open file.
      platform::LockFile::Kind held = file.heldByOthers(slot, kind);
      platform::noteFailure(std::string("another process ") +
                            (held == platform::LockFile::kExclusive ? "is changing the database"
                             : held == platform::LockFile::kShared
                                 ? "has the database open for reading"
                                 : "kept the database locked") +
                            " (lock file \"" + name_ + "\")");
      return false;
    }
    platform::sleepMilliseconds(pause);
    if (pause < 50) pause *= 2;
  }
}

bool SharedLock::acquire(Mode mode, double seconds, bool* busy) {
  ++acquisitions_;
  if (exclusiveHolds_ > 0 || (mode == kShared && sharedHolds_ > 0)) {
    ++(mode == kShared ? sharedHolds_ : exclusiveHolds_);
    return true;
  }
  auto kind = mode == kShared ? platform::LockFile::kShared : platform::LockFile::kExclusive;
  if (!setSlot(file_, kDatabaseSlot, kind, seconds, busy)) return false;
  if (!followName(kind, seconds, busy) || !followGuard(kind, seconds, busy)) {
    bool ignored = false;
    file_.set(kDatabaseSlot, unlockedOr(sharedHolds_ > 0), &ignored);
    if (guard_.isOpen()) guard_.set(kGuardDatabaseSlot, unlockedOr(sharedHolds_ > 0), &ignored);
    return false;
  }
  if (mode == kExclusive) ++holdSerial_;
  ++(mode == kShared ? sharedHolds_ : exclusiveHolds_);
  return true;
}

bool SharedLock::confirm(double seconds) {
  if (exclusiveHolds_ == 0) return true;
  // The guard alone keeps out every writer of this data file. Following a
  // replaced lock file while holding the guard could deadlock with a
  // process that locked the new file and waits for the guard.
  if (guardHeld_) return followGuard(platform::LockFile::kExclusive, seconds, nullptr);
  return followName(platform::LockFile::kExclusive, seconds, nullptr) &&
         followGuard(platform::LockFile::kExclusive, seconds, nullptr);
}

bool SharedLock::followGuard(platform::LockFile::Kind kind, double seconds, bool* busy) {
  for (int attempt = 0; attempt < kFollowAttempts; ++attempt) {
    if (guard_.isOpen() && guard_.isAt(dataFileName_, true)) {
      if (guardHeld_) return true;
      // A data file that can only be read is written by no one who could
      // take the guard exclusively; the writes fail on their own.
      if (kind == platform::LockFile::kExclusive && guard_.readOnly()) return true;
      if (!setSlot(guard_, kGuardDatabaseSlot, kind, seconds, busy)) return false;
      guardHeld_ = true;
      return true;
    }
    // A data file made or replaced since (created, compacted, imported):
    // its own guard is taken, then the old one let go.
    platform::LockFile fresh;
    if (!fresh.openExisting(dataFileName_)) {
      guard_.close();
      guardHeld_ = false;
      return true;  // no data file yet: nothing to guard
    }
    bool ignored = false;
    if (!(kind == platform::LockFile::kExclusive && fresh.readOnly())) {
      if (!setSlot(fresh, kGuardDatabaseSlot, kind, seconds, busy)) return false;
      if (!unsaved_.empty()) fresh.set(kGuardUnsavedSlot, platform::LockFile::kShared, &ignored);
      guardHeld_ = true;
    } else {
      guardHeld_ = false;
    }
    rekey(&guardKey_, fresh.stamp());
    guard_ = std::move(fresh);
    ++holdSerial_;
  }
  platform::noteFailure("the data file \"" + dataFileName_ +
                        "\" was replaced again and again while it was being locked");
  return false;
}

bool SharedLock::followName(platform::LockFile::Kind kind, double seconds, bool* busy) {
  for (int attempt = 0; attempt < kFollowAttempts; ++attempt) {
    if (file_.isAt(name_)) return true;
    platform::LockFile fresh;
    if (!fresh.open(name_, dataFileName_)) return false;
    if (!setSlot(fresh, kDatabaseSlot, kind, seconds, busy)) return false;
    bool ignored = false;
    if (!unsaved_.empty()) fresh.set(kUnsavedSlot, platform::LockFile::kShared, &ignored);
    rekey(&lockKey_, fresh.stamp());
    file_ = std::move(fresh);  // closing the old file lets go of its locks
    ++holdSerial_;
  }
  platform::noteFailure("the lock file \"" + name_ +
                        "\" was replaced again and again while it was being locked");
  return false;
}

void SharedLock::release(Mode mode) {
  int& holds = mode == kShared ? sharedHolds_ : exclusiveHolds_;
  if (holds == 0) return;
  --holds;
  if (exclusiveHolds_ > 0) return;
  bool busy = false;
  // The guard first: whoever gets the lock file next finds it free.
  if (guardHeld_) {
    guard_.set(kGuardDatabaseSlot, unlockedOr(sharedHolds_ > 0), &busy);
    guardHeld_ = sharedHolds_ > 0;
  }
  file_.set(kDatabaseSlot, unlockedOr(sharedHolds_ > 0), &busy);
}

void SharedLock::markUnsaved(const void* owner) {
  if (unsaved_.empty()) {
    bool busy = false;
    file_.set(kUnsavedSlot, platform::LockFile::kShared, &busy);
    if (guard_.isOpen()) guard_.set(kGuardUnsavedSlot, platform::LockFile::kShared, &busy);
  }
  unsaved_.insert(owner);
}

void SharedLock::clearUnsaved(const void* owner) {
  if (unsaved_.erase(owner) == 0 || !unsaved_.empty()) return;
  bool busy = false;
  file_.set(kUnsavedSlot, platform::LockFile::kUnlocked, &busy);
  if (guard_.isOpen()) guard_.set(kGuardUnsavedSlot, platform::LockFile::kUnlocked, &busy);
}

bool SharedLock::othersHoldUnsaved(const void* owner) {
  for (const void* holder : unsaved_) {
    if (holder != owner) return true;
  }
  // Exclusive only when no other open file holds the slot; our own shared
  // hold, if any, is converted in place and put back. Asked of the lock
  // file and of the data file's guard, which a replaced lock file does
  // not split.
  auto othersHold = [this](platform::LockFile& file, int slot) {
    bool busy = false;
    if (!file.isOpen() || file.readOnly()) return false;
    if (!file.set(slot, platform::LockFile::kExclusive, &busy)) return busy;
    file.set(slot, unlockedOr(!unsaved_.empty()), &busy);
    return false;
  };
  return othersHold(file_, kUnsavedSlot) || othersHold(guard_, kGuardUnsavedSlot);
}

LockHold::LockHold(SharedLock* lock, SharedLock::Mode mode, double seconds)
    : lock_(lock), mode_(mode), ok_(lock == nullptr || lock->acquire(mode, seconds)) {}

LockHold::~LockHold() {
  if (lock_ != nullptr && ok_) lock_->release(mode_);
}
