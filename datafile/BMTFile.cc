#include "datafile/BMTFile.h"

#include <climits>
#include <cstring>
#include <vector>

#include "common/WorkingDirectory.h"
#include "datafile/DatabaseState.h"
#include "datafile/DirectoryMerge.h"
#include "datafile/WriteAccess.h"
#include "platform/Env.h"
#include "platform/Failure.h"
#include "platform/FileHandle.h"
#include "platform/FileOps.h"
#include "platform/Notify.h"

namespace {

// Whether a data file name is longer than a database opens (259
// characters): setMetDatabase cuts a longer name to 260, and opening the cut
// name would create a file where none was asked for.
bool tooLong(const std::string& fileName) {
  if (fileName.size() <= 259) return false;
  platform::noteFailure("the data file name is longer than 259 characters");
  return true;
}

// Whether the data file's full path (the current folder's and the name)
// is longer than the system takes (4095 bytes): the file could be opened by
// its relative name, but never found again by its path, so that every write
// would take it for a file that another process replaced.
bool pathTooLong(const std::string& path) {
  constexpr std::size_t kLongestPath = 4095;
  if (path.size() <= kLongestPath) return false;
  platform::noteFailure("the data file's full path is " + std::to_string(path.size()) +
                        " bytes long, more than the " + std::to_string(kLongestPath) +
                        " bytes the system takes (the current folder lies too deep); work in a "
                        "folder nearer the root");
  return true;
}

// Records read at a time while the directory is rebuilt.
constexpr long kRecordsPerRead = 4096;

// Records read ahead at a time while a BulkRead is held or a walk moves
// through the file in its order: one read per block instead of one per
// record takes most of such a walk's time off.
constexpr long kReadAheadRecords = 256;
// A read counts as a step of a walk when it lies at most this many records
// past the one before (a selection skips the records it leaves out), and
// reading ahead starts after this many such steps in a row, so that point
// reads stay single reads.
constexpr long kNearAhead = 32;
constexpr int kWalkAfter = 4;

// The byte offset of record index, or -1 when there is no such offset.
long recordOffset(long index) {
  if (index < 0 || index > LONG_MAX / kLocationDataSize) return -1;
  return index * kLocationDataSize;
}

void forgetReadAhead(const BMTFile* db) { stateOf(db).aheadCount = 0; }

}  // namespace

BMTFile::BMTFile(const char* dataFileName) : BMTFile(dataFileName, kReadWrite) {}

BMTFile::BMTFile(const char* dataFileName, Access access)
    : MetDatabase(dataFileName), fileName(dataFileName ? dataFileName : ""), valid(false) {
  stateOf(this).readOnly = access == kReadOnly;
  openDatabase();
}

BMTFile::~BMTFile() {
  DatabaseState& state = stateOf(this);
  if (saveDirectory && (directory->changed || directory->IsFileEmpty())) storeDirectory();
  // Saved here, under the lock and against what other processes saved;
  // the base class must not write it again.
  saveDirectory = false;
  if (state.lock != nullptr) state.lock->clearUnsaved(this);
  stream.close();
  forgetState(this);
}

bool BMTFile::IsReadOnly() { return stateOf(this).readOnly; }

long BMTFile::fileLength() { return stream.isOpen() ? stream.length() : -1; }

bool BMTFile::IsStale() {
  const DatabaseState& state = stateOf(this);
  if (!state.data.exists) return false;
  return !platform::stampOf(state.dataPath).sameFile(state.data);
}

bool BMTFile::OthersHoldUnsavedRecords() {
  SharedLock* lock = databaseLock(*this);
  if (lock == nullptr) return false;
  LockHold hold(lock, SharedLock::kExclusive, SharedLock::waitSeconds());
  return hold.ok() && lock->othersHoldUnsaved(this);
}

namespace {

// Whether facts, left by the last append, still describe the data file
// and the directory file for the append that has just taken hold: the same
// exclusive hold of this process's lock has lasted since, and no one in this
// process took the lock in between (every write does: a rewrite, a
// dropAppended, a directory save, a compaction, another database's append).
bool stillKnown(const DatabaseState::AppendFacts& facts, const SharedLock* lock,
                const LockHold& hold) {
  return lock != nullptr && hold.ok() && facts.hold != 0 && facts.hold == lock->exclusiveHold() &&
         facts.acquisitions + 1 == lock->acquisitions();
}

// Whether a write now will leave the data file newer than the directory
// file with its own time, as the last append's write did: the clock has not
// been set back since (a file's time comes from it), and nobody can have
// dated the directory file (see stillKnown).
bool stillNewer(const DatabaseState::AppendFacts& facts, std::int64_t nowNs) {
  return !facts.directoryExists || (facts.writtenNs > facts.directoryNs && nowNs >= facts.clockNs);
}

// Appends record after the data file's last whole record under the
// database's exclusive lock; returns its index, or -1 with nothing written.
// With dateDirectory, the directory file dirPath is first dated (durably) a
// second past the write, so that an opening trusts it until the writer
// saves its directory; otherwise the data file is left newer than the
// directory file, so that an opening finds the appended record.
//
// A host that holds the lock exclusively across many appends pays the
// checks once: the second and later appends of one hold take the length the
// one before left and skip the replacement check, since no other process
// can replace or write the file while the hold lasts, and skip dating the
// file while a write's own time keeps it newer than the directory file.
// Each record is still written before the call returns.
long appendRecord(BMTFile& db, LocationData& record, const std::string* dirPath) {
  platform::clearFailure();
  forgetReadAhead(&db);
  DatabaseState& state = stateOf(&db);
  LockHold hold(databaseLock(db), SharedLock::kExclusive, SharedLock::waitSeconds());
  DatabaseState::AppendFacts facts = state.appendFacts;
  // Dropped unless this append leaves them true again.
  state.appendFacts = DatabaseState::AppendFacts();
  bool known =
      dirPath == nullptr && db.stream.isOpen() && stillKnown(facts, state.lock.get(), hold);
  long length = facts.length;
  if (!known) {
    // The length comes with the check that the file was not replaced: one
    // system call less for every append.
    platform::FileStamp onDisk;
    if (!checkWritable(db, hold, &onDisk)) return -1;
    length = onDisk.exists ? static_cast<long>(onDisk.size) : db.stream.length();
    if (length < 0) return -1;
  }
  if (dirPath != nullptr) {
    // A second is far more than the write takes; the file system's clock
    // may lag the system's by its resolution.
    constexpr std::int64_t kAhead = 1000000000;
    platform::File dirFile;
    if (!dirFile.open(*dirPath, platform::File::kReadWrite) ||
        !dirFile.setModifiedAfter(platform::Env::current()->nowNs() + kAhead) || !dirFile.sync()) {
      if (!platform::hasFailure()) {
        platform::noteFailure("cannot date the directory file \"" + db.directory->fileName + "\"");
      }
      return -1;
    }
    dirFile.close();
    // Our own dating, not another process's save.
    state.directoryFile = platform::stampOf(*dirPath);
  }
  // The record goes after the last whole record; bytes beyond it do not
  // form a record, and writing there keeps the returned index true.
  long index = length / kLocationDataSize;
  std::int64_t nowNs = known ? platform::Env::current()->nowNs() : 0;
  if (!db.stream.writeAt(index * kLocationDataSize, &record, sizeof record)) {
    db.stream.truncate(length);
    return -1;
  }
  if (dirPath != nullptr) {
    state.data = db.stream.stamp();
  } else if (known && stillNewer(facts, nowNs)) {
    facts.clockNs = nowNs;
  } else {
    DatingSeen seen;
    keepNewerThanDirectory(db, &seen);
    facts.directoryExists = seen.directory.exists;
    facts.directoryNs = seen.directory.modifiedNs;
    facts.writtenNs = seen.writtenNs;
    facts.clockNs = platform::Env::current()->nowNs();
  }
  state.unsynced = true;
  if (state.lock != nullptr) {
    state.lock->markUnsaved(&db);
    if (dirPath == nullptr) {
      facts.hold = state.lock->exclusiveHold();
      facts.acquisitions = state.lock->acquisitions();
      facts.length = (index + 1) * kLocationDataSize;
      state.appendFacts = facts;
    }
  }
  return index;
}

}  // namespace

long BMTFile::addLocationData(LocationData& record) { return appendRecord(*this, record, nullptr); }

long BMTFile::appendBeforeSave(LocationData& record) {
  std::string dirPath = directoryPath(*directory);
  if (!platform::stampOf(dirPath).exists) return addLocationData(record);
  return appendRecord(*this, record, &dirPath);
}

bool BMTFile::dropAppended(long index) {
  platform::clearFailure();
  forgetReadAhead(this);
  LockHold hold(databaseLock(*this), SharedLock::kExclusive, SharedLock::waitSeconds());
  long offset = recordOffset(index);
  if (offset < 0 || !checkWritable(*this, hold) || !stream.truncate(offset)) return false;
  platform::FileStamp dir = platform::stampOf(directoryPath(*directory));
  platform::FileStamp data = stream.stamp();
  if (dir.exists && data.exists && data.modifiedNs > dir.modifiedNs) {
    stream.setModified(dir.modifiedNs);
  }
  stateOf(this).data = stream.stamp();
  return true;
}

void BMTFile::getLocationData(long index, LocationData& record) {
  if (!stream.isOpen()) throw this;
  long offset = recordOffset(index);
  if (offset < 0) return;
  DatabaseState& state = stateOf(this);
  bool bulk = state.bulkReads > 0;
  // A walk in file order (a directory walk of a grouped file, a selection's
  // iterator) moves forward by a few records at a time; a point read jumps.
  bool forward = index > state.lastRead && index - state.lastRead <= kNearAhead;
  state.forwardRun = forward ? state.forwardRun + 1 : 0;
  state.lastRead = index;
  if (!bulk && !forward) state.aheadCount = 0;
  if (!bulk && state.forwardRun < kWalkAfter) {
    LocationData scratch;
    long got = stream.readAt(offset, &scratch, sizeof scratch);
    if (got < 0) throw this;
    if (got == kLocationDataSize) std::memcpy(&record, &scratch, sizeof record);
    return;
  }
  if (index < state.aheadFirst || index >= state.aheadFirst + state.aheadCount) {
    if (state.ahead.empty()) state.ahead.resize(static_cast<std::size_t>(kReadAheadRecords));
    long got = stream.readAt(offset, state.ahead.data(), state.ahead.size() * sizeof record);
    state.aheadFirst = index;
    state.aheadCount = got < 0 ? 0 : got / kLocationDataSize;
    if (got < 0 && !bulk) throw this;
  }
  if (index >= state.aheadFirst && index < state.aheadFirst + state.aheadCount) {
    std::memcpy(&record, &state.ahead[static_cast<std::size_t>(index - state.aheadFirst)],
                sizeof record);
  }
}

BMTFile::BulkRead::BulkRead(BMTFile& db) : db_(db) {
  DatabaseState& state = stateOf(&db);
  state.aheadCount = 0;
  ++state.bulkReads;
}

BMTFile::BulkRead::~BulkRead() {
  DatabaseState& state = stateOf(&db_);
  state.aheadCount = 0;
  --state.bulkReads;
}

void BMTFile::setLocationData(long index, LocationData& record) {
  platform::clearFailure();
  forgetReadAhead(this);
  LockHold hold(databaseLock(*this), SharedLock::kExclusive, SharedLock::waitSeconds());
  if (!checkWritable(*this, hold)) {
    platform::messageBeep();
    return;
  }
  long offset = recordOffset(index);
  if (offset < 0) return;
  long length = stream.length();
  // The record's old bytes, put back when the write fails part way (a file
  // size limit inside the record), so that a failed rewrite changes nothing.
  char old[sizeof record];
  long kept = offset < length ? stream.readAt(offset, old, sizeof old) : 0;
  if (!stream.writeAt(offset, &record, sizeof record)) {
    if (kept > 0) stream.writeAt(offset, old, static_cast<std::size_t>(kept));
    if (length >= 0 && offset + kLocationDataSize > length) stream.truncate(length);
    platform::messageBeep();
    return;
  }
  keepNewerThanDirectory(*this);
  stateOf(this).unsynced = true;
  // A record written past the end is an appended one, not yet in a saved
  // directory file: see addLocationData.
  if (offset >= length && databaseLock(*this) != nullptr) databaseLock(*this)->markUnsaved(this);
}

bool BMTFile::IsValid() { return valid; }

bool BMTFile::IsEmpty() {
  if (stream.isOpen()) return stream.length() <= 0;
  WorkingDirectory wd(homeDrive, homePath.c_str());
  platform::FileHandle handle(fileName.c_str());
  if (!handle.valid()) return true;
  return handle.length() <= 0;
}

void BMTFile::openDatabase() {
  platform::clearFailure();
  WorkingDirectory wd(homeDrive, homePath.c_str());
  DatabaseState& state = stateOf(this);
  valid = false;
  state.dataPath = platform::absolutePath(fileName);
  if (!tooLong(fileName) && !pathTooLong(state.dataPath)) {
    if (state.lock == nullptr) state.lock = SharedLock::open(fileName);
    // Loaded under the shared lock, so that no writer changes the data file
    // or the directory file while they are read.
    LockHold hold(state.lock.get(), SharedLock::kShared, SharedLock::waitSeconds());
    auto mode = state.readOnly ? platform::File::kReadOnly : platform::File::kReadWriteCreate;
    if (hold.ok() && stream.open(fileName, mode)) {
      state.data = stream.stamp();
      LocationData first;
      if (stream.readAt(0, &first, sizeof first) == kLocationDataSize || IsEmpty()) {
        valid = true;
        MetDatabase::openDatabase();
      } else {
        platform::noteFailure("\"" + fileName + "\" is shorter than one record");
      }
      state.directoryFile = platform::stampOf(directoryPath(*directory));
      if (!state.readOnly) state.baseline = recordIndices(*directory);
    }
  }
  saveDirectory = valid && !state.readOnly;
  // A lock file that could not be made (a read-only medium) is no failure
  // of a database that opened.
  if (valid) platform::clearFailure();
}

void BMTFile::constructDirectory() {
  LocationData previous;
  // Read straight into records (they are byte-packed, so a block of the
  // file is an array of them) and handed over in place.
  std::vector<LocationData> buffer(static_cast<std::size_t>(kRecordsPerRead));
  long index = 0;
  for (;;) {
    long got = stream.readAt(index * kLocationDataSize, buffer.data(),
                             buffer.size() * sizeof(LocationData));
    long whole = got < 0 ? 0 : got / kLocationDataSize;
    for (long i = 0; i < whole; ++i) {
      directory->addOrderedEntry(buffer[static_cast<std::size_t>(i)], previous, index + i);
    }
    index += whole;
    if (whole < kRecordsPerRead) break;
  }
}

int BMTFile::IsDirectoryOutofDate() {
  platform::FileStamp data =
      stream.isOpen() ? stream.stamp() : platform::stampOf(stateOf(this).dataPath);
  if (!data.exists) return 0;
  platform::FileStamp dir = platform::stampOf(directoryPath(*directory));
  return !dir.exists || data.modifiedNs > dir.modifiedNs ? 1 : 0;
}

bool BMTFile::storeDirectory() {
  platform::clearFailure();
  DatabaseState& state = stateOf(this);
  if (!valid) {
    platform::noteFailure("the data file \"" + fileName + "\" is not usable");
    return false;
  }
  WorkingDirectory wd(homeDrive, homePath.c_str());
  LockHold hold(databaseLock(*this), SharedLock::kExclusive, SharedLock::waitSeconds());
  if (!checkWritable(*this, hold)) return false;

  // Another process saved the directory file since this database read or
  // wrote it: its edits and ours are joined rather than ours written over
  // them.
  std::string path = directoryPath(*directory);
  platform::FileStamp onDisk = platform::stampOf(path);
  std::unique_ptr<Directory> merged;
  if (onDisk.exists && onDisk.size > 0 && onDisk != state.directoryFile) {
    Directory saved(directory->fileName.c_str());
    if (saved.read()) merged = mergeDirectoryEdits(saved, *directory, state.baseline);
  }
  Directory* target = merged ? merged.get() : directory;
  // The records come first: a directory file must never index records that
  // a crash could still take from the data file.
  if (state.syncFailed) {
    platform::noteFailure("an earlier flush of \"" + fileName +
                          "\" to the disk failed, so its new records may be lost; the "
                          "directory file was left as it was");
    return false;
  }
  if (state.unsynced) {
    if (!stream.sync()) {
      state.syncFailed = true;
      return false;
    }
    state.unsynced = false;
  }
  if (!target->write()) {
    if (!platform::hasFailure()) {
      platform::noteFailure("cannot write the directory file \"" + directory->fileName + "\"");
    }
    return false;
  }
  if (merged) {
    delete directory;
    directory = merged.release();
  }
  // Within the file system's time resolution an append may have set the
  // data file's time past this moment; the file just written describes it.
  platform::setModifiedAtLeast(path, stream.stamp().modifiedNs);
  platform::clearFailure();
  directory->changed = false;
  state.directoryFile = platform::stampOf(path);
  state.baseline = recordIndices(*directory);
  if (state.lock != nullptr) state.lock->clearUnsaved(this);
  return true;
}
