#include "tool/database/Database.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "module/CurrentDatabase.h"
#include "platform/Env.h"
#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/database/Leftovers.h"
#include "tool/database/ScratchFolder.h"
#include "tool/database/SharedFolder.h"
#include "tool/record/RecordFaults.h"
#include "tool/text/InputFile.h"
#include "tool/text/Text.h"

namespace fs = std::filesystem;

namespace metdb {

namespace {

// The longest data file name the library keeps whole.
constexpr std::size_t kMaxName = 260;

// How many records are looked at to tell a data file from other bytes.
constexpr long kSampledRecords = 64;

// Refuses a file whose records cannot be real, as the import of one is
// refused (findRecordFault), by records spread evenly over the file: when
// more than half of them have names that no record holds (empty, or holding
// control bytes). An all-zero file or a text is no database; a database with a faulty record or two
// is, so that check and delete can reach them.
void refuseUnrealRecords(const std::string& dataFile) {
  InputFile file(dataFile);
  long records = static_cast<long>(file.size() / kLocationDataSize);
  if (records == 0) return;
  long sampled = std::min(records, kSampledRecords);
  long faulty = 0;
  long first = -1;
  std::string why;
  for (long k = 0; k < sampled; ++k) {
    long index = sampled == 1 ? 0 : static_cast<long>((records - 1) * k / (sampled - 1));
    LocationData r;
    if (file.readAt(static_cast<long long>(index) * kLocationDataSize, reinterpret_cast<char*>(&r),
                    sizeof r) != sizeof r) {
      return;  // the library's own open tells what is wrong
    }
    RecordFault fault = findRecordFault(r);
    // Names that fill their fields or positions out of range occur in real
    // files; empty names (zeros) and line breaks (text) do not.
    if (fault != RecordFault::kEmptyName && fault != RecordFault::kControlByte) continue;
    if (faulty++ == 0) {
      first = index;
      why = describeRecordFault(r, fault);
    }
  }
  if (faulty * 2 <= sampled) return;
  throw Error("\"" + dataFile + "\" does not look like a data file of locations: " +
                  std::to_string(faulty) + " of " + std::to_string(sampled) +
                  " records spread over it cannot be real (the first, record " +
                  std::to_string(first) + ": " + why + "); nothing was done.",
              Error::Cause::kDamaged);
}

// The database this process's Database objects lent the library last, as
// far as they know (a host call may have replaced it since, which lending
// null then leaves alone).
BMTFile* lentDatabase = nullptr;

// The Database objects of this process that hold a database open for
// writing, and with it its lock, which another opening of the same data
// file in this process would wait for in vain.
std::vector<const Database*> writers;

// Throws when one of writers holds the data file dataFile.
void refuseHeldHere(const std::string& dataFile) {
  for (const Database* writer : writers) {
    if (sameExistingFile(writer->dataFile(), dataFile)) {
      throw Error("\"" + dataFile + "\" is open for writing in this process already (as \"" +
                      writer->dataFile() + "\"); close it first, or work through that one.",
                  Error::Cause::kBusy);
    }
  }
}

}  // namespace

bool sameExistingFile(const std::string& a, const std::string& b) {
  platform::Env* env = platform::Env::current();
  platform::FileStatus first, second;
  return env->statusOf(a, &first, true) && env->statusOf(b, &second, true) && first.stamp.exists &&
         second.stamp.exists && first.stamp.sameFile(second.stamp);
}

const char* describe(DirectoryFileState state) {
  switch (state) {
    case DirectoryFileState::kMissing:
      return "missing";
    case DirectoryFileState::kEmpty:
      return "empty";
    case DirectoryFileState::kFresh:
      return "fresh";
    case DirectoryFileState::kOutOfDate:
      return "out of date";
    case DirectoryFileState::kDamaged:
      return "damaged";
  }
  return "unknown";
}

Database::Database(const std::string& dataFile, double waitSeconds)
    : dataFile_(dataFile.empty() ? std::string(getMetDataFileName()) : dataFile),
      waitSeconds_(waitSeconds) {
  MetDatabaseLock::setWaitSeconds(waitSeconds);
}

Database::~Database() {
  close();
  lock_.reset();
}

void Database::close() {
  writers.erase(std::remove(writers.begin(), writers.end(), this), writers.end());
  if (own_ != nullptr) {
    // Forgotten by the library first, if current, so that it never holds
    // a deleted database.
    if (lentDatabase == own_.get()) {
      lendMetDatabase(nullptr);
      lentDatabase = nullptr;
    }
    own_.reset();
  }
  db_ = nullptr;
}

void lendToLibrary(BMTFile* db) {
  if (db == nullptr) return;
  lendMetDatabase(db);
  lentDatabase = db;
}

void Database::makeCurrent() { lendToLibrary(db_); }

std::string Database::directoryFile() const { return MetDatabase::directoryFileName(dataFile_); }

std::string Database::libraryReason() { return getMetLastError(); }

std::string Database::libraryReasonOrUnknown() {
  std::string reason = libraryReason();
  return reason.empty() ? "the new file did not come out as written" : reason;
}

void Database::checkName() {
  if (dataFile_.empty())
    throw Error("No data file is named: give one with --db DATAFILE.", Error::Cause::kBadInput);
  if (dataFile_.size() > kMaxName) {
    throw Error("The data file name \"" + dataFile_.substr(0, 40) + "...\" is longer than " +
                    std::to_string(kMaxName) + " characters; give a shorter (relative) one.",
                Error::Cause::kBadInput);
  }
  // The library forms the directory file's name by putting "dir" in place
  // of the extension's first three characters: for "x.dir" (or "x.dirty")
  // that is the data file itself, which saving the directory would
  // overwrite.
  std::string dirFile = directoryFile();
  if (fs::path(dirFile).lexically_normal() == fs::path(dataFile_).lexically_normal()) {
    throw Error("The data file \"" + dataFile_ +
                    "\" would share its name with its directory file; give it another "
                    "extension, such as .bmt.",
                Error::Cause::kBadInput);
  }
  if (dirFile == "default.dir" && warning_) {
    warning_("\"" + dataFile_ +
             "\" has no extension, so its directory file is \"default.dir\" in the current "
             "directory, shared with every such data file; an extension such as .bmt avoids "
             "that.");
  }
}

void Database::lock(MetDatabaseLock::Mode mode) {
  if (mode == MetDatabaseLock::kExclusive) {
    std::string warning = checkFolderSharing(dataFile_);
    if (!warning.empty() && warning_) warning_(warning);
  }
  lock_.reset(new MetDatabaseLock(dataFile_.c_str()));
  if (!lock_->IsUsable()) {
    // A folder where no lock file can be made (a read-only medium without
    // one): nobody can change the database there, so reading goes ahead.
    if (mode == MetDatabaseLock::kShared) return;
    throw Error("Cannot use the lock file \"" + dataFile_ + ".lock\": " + libraryReason() +
                    "; nothing was changed.",
                Error::Cause::kSystem);
  }
  if (lock_->lock(mode, 0)) return;
  if (!lock_->WasBusy()) {
    throw Error("Cannot lock \"" + dataFile_ + "\": " + libraryReason() + "; nothing was done.",
                Error::Cause::kSystem);
  }
  std::string wait = text::shortestFloat(static_cast<float>(waitSeconds_));
  if (waiting_) {
    // The reason names what holds the database: readers or a writer (the
    // system does not tell which process holds a lock of an open file).
    waiting_("waiting for \"" + dataFile_ + "\": " + libraryReason() + " (up to " + wait +
             " s; --wait changes this)...");
  }
  // In slices, so that the check point can end the wait.
  constexpr double kSlice = 0.2;
  for (double waited = 0; waited < waitSeconds_; waited += kSlice) {
    checkPoint();
    if (lock_->lock(mode, std::min(kSlice, waitSeconds_ - waited))) return;
    if (!lock_->WasBusy()) {
      throw Error("Cannot lock \"" + dataFile_ + "\": " + libraryReason() + "; nothing was done.",
                  Error::Cause::kSystem);
    }
  }
  throw Error("Another process kept \"" + dataFile_ + "\" locked for " + wait + " s (" +
                  libraryReason() +
                  "); nothing was done. Try again, or wait longer with --wait SECONDS.",
              Error::Cause::kBusy);
}

BMTFile* Database::open(DatabaseUse use) {
  checkName();
  platform::Env* env = platform::Env::current();
  platform::FileStatus::Kind kind = env->kindOf(dataFile_);
  if (kind == platform::FileStatus::kMissing) {
    throw Error("There is no database at \"" + dataFile_ +
                    "\": the data file does not exist (make one with \"metdb create "
                    "STATIONS.csv\").",
                Error::Cause::kNotFound);
  }
  if (kind != platform::FileStatus::kRegular) {
    throw Error("\"" + dataFile_ + "\" is not a regular file, so it cannot be a data file.",
                Error::Cause::kBadInput);
  }
  close();
  refuseHeldHere(dataFile_);
  lock(use == DatabaseUse::kRead ? MetDatabaseLock::kShared : MetDatabaseLock::kExclusive);
  // Under the write lock no writer of this database is at work: the
  // temporary files of one that was killed can go.
  if (use != DatabaseUse::kRead) removeLeftovers(dataFile_);
  refuseUnrealRecords(dataFile_);
  std::string dirFile = directoryFile();
  bool dirExists = env->kindOf(dirFile) != platform::FileStatus::kMissing;
  bool dirEmpty = dirExists && env->sizeOf(dirFile) == 0;

  own_ = std::make_unique<BMTFile>(
      dataFile_.c_str(), use == DatabaseUse::kRead ? BMTFile::kReadOnly : BMTFile::kReadWrite);
  if (!own_->IsValid()) {
    std::string reason = libraryReason();
    own_.reset();
    db_ = nullptr;
    throw Error("\"" + dataFile_ + "\" cannot be used as a data file: " +
                    (reason.empty() ? std::string("it is shorter than one record") : reason) + ".",
                Error::Cause::kDamaged);
  }
  db_ = own_.get();
  if (use == DatabaseUse::kWrite) writers.push_back(this);

  if (!dirExists) {
    state_ = DirectoryFileState::kMissing;
  } else if (dirEmpty) {
    state_ = DirectoryFileState::kEmpty;
  } else if (db_->IsDirectoryOutofDate() == 1) {
    state_ = DirectoryFileState::kOutOfDate;
  } else if (db_->directory->changed) {
    // Read from the file was refused, and the records filled it instead.
    state_ = DirectoryFileState::kDamaged;
  } else {
    state_ = DirectoryFileState::kFresh;
  }
  makeCurrent();
  // An empty data file is never read for a directory: nothing to describe.
  if (db_->IsEmpty() && dirExists && !dirEmpty) state_ = DirectoryFileState::kFresh;

  if (use == DatabaseUse::kRead) {
    lock_.reset();  // the open data file keeps what the directory indexes
  } else if (state_ != DirectoryFileState::kFresh) {
    saveDirectory();
  }
  return db_;
}

void Database::saveDirectory() {
  if (db_->storeDirectory()) return;
  throw Error("Cannot write the directory file \"" + directoryFile() + "\" (" + libraryReason() +
                  "); it will be rebuilt from the data file when the database is next opened.",
              Error::Cause::kSystem);
}

void Database::discardEdits() {
  if (db_ != nullptr) db_->directory->changed = false;
}

BMTFile* Database::reopenRebuilt() {
  ScratchFolder scratch(platform::Env::current()->tempFolder());
  if (!scratch.ok())
    throw Error("Cannot reopen the database: " + scratch.error() + ".", Error::Cause::kSystem);
  // The database saves its directory when it is closed; the one it gets
  // here is empty and saves into the scratch folder.
  Directory* parked = new Directory(scratch.file("parked.dir").c_str());
  delete db_->directory;
  db_->directory = parked;
  platform::Env::current()->remove(directoryFile());
  bool wasCurrent = lentDatabase == db_;
  close();
  own_ = std::make_unique<BMTFile>(dataFile_.c_str());
  if (!own_->IsValid()) {
    own_.reset();
    throw Error("\"" + dataFile_ + "\" could not be opened again.", Error::Cause::kSystem);
  }
  db_ = own_.get();
  writers.push_back(this);  // for kWrite only, as open() was
  if (wasCurrent) makeCurrent();
  return db_;
}

std::uintmax_t Database::dataFileSize() const {
  // The file the database holds open, which is the one its directory
  // indexes even when another process has replaced the name since.
  if (db_ != nullptr && db_->fileLength() >= 0) {
    return static_cast<std::uintmax_t>(db_->fileLength());
  }
  long long size = platform::Env::current()->sizeOf(dataFile_);
  return size < 0 ? 0 : static_cast<std::uintmax_t>(size);
}

long Database::recordCount() const {
  return static_cast<long>(dataFileSize() / static_cast<std::uintmax_t>(kLocationDataSize));
}

}  // namespace metdb
