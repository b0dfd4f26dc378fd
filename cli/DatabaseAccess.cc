#include "cli/DatabaseAccess.h"

#include <filesystem>
#include <system_error>

#include "cli/Interrupted.h"
#include "cli/ScratchFolder.h"
#include "cli/Terminal.h"
#include "cli/Text.h"
#include "module/CurrentDatabase.h"

namespace fs = std::filesystem;

namespace {

// The longest data file name the library keeps whole.
constexpr std::size_t kMaxName = 260;

}  // namespace

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

DatabaseAccess::DatabaseAccess(ToolContext& context)
    : context_(context),
      dataFile_(context.databaseFile.empty() ? std::string(getMetDataFileName())
                                             : context.databaseFile) {}

std::string DatabaseAccess::directoryFile() const {
  return MetDatabase::directoryFileName(dataFile_);
}

bool DatabaseAccess::checkName() {
  if (dataFile_.empty()) {
    context_.error("No data file is named: give one with --db DATAFILE.");
    return false;
  }
  if (dataFile_.size() > kMaxName) {
    context_.error("The data file name \"" + dataFile_.substr(0, 40) + "...\" is longer than " +
                   std::to_string(kMaxName) + " characters; give a shorter (relative) one.");
    return false;
  }
  // The library forms the directory file's name by putting "dir" in place
  // of the extension's first three characters: for "x.dir" (or "x.dirty")
  // that is the data file itself, which saving the directory would
  // overwrite.
  std::string dirFile = directoryFile();
  if (fs::path(dirFile).lexically_normal() == fs::path(dataFile_).lexically_normal()) {
    context_.error("The data file \"" + dataFile_ +
                   "\" would share its name with its directory file; give it another "
                   "extension, such as .bmt.");
    return false;
  }
  if (dirFile == "default.dir") {
    context_.warning("\"" + dataFile_ +
                     "\" has no extension, so its directory file is \"default.dir\" in the "
                     "current directory, shared with every such data file; an extension such "
                     "as .bmt avoids that.");
  }
  return true;
}

std::string DatabaseAccess::libraryReason() { return getMetLastError(); }

bool DatabaseAccess::lock(MetDatabaseLock::Mode mode) {
  lock_.reset(new MetDatabaseLock(dataFile_.c_str()));
  if (!lock_->IsUsable()) {
    // A folder where no lock file can be made (a read-only medium without
    // one): nobody can change the database there, so reading goes ahead.
    if (mode == MetDatabaseLock::kShared) return true;
    context_.error("Cannot use the lock file \"" + dataFile_ + ".lock\": " + libraryReason() +
                   "; nothing was changed.");
    return false;
  }
  if (lock_->lock(mode, 0)) return true;
  double wait = context_.waitSeconds;
  if (isTerminal(context_.err)) {
    context_.err << "metdb: waiting for another process to finish with \"" << dataFile_
                 << "\" (up to " << text::shortestFloat(static_cast<float>(wait))
                 << " s; --wait changes this)...\n"
                 << std::flush;
  }
  // In slices, so that Ctrl-C ends the wait.
  constexpr double kSlice = 0.2;
  for (double waited = 0; waited < wait; waited += kSlice) {
    stopIfInterrupted();
    if (lock_->lock(mode, std::min(kSlice, wait - waited))) return true;
  }
  context_.error("Another process kept \"" + dataFile_ + "\" locked for " +
                 text::shortestFloat(static_cast<float>(wait)) +
                 " s; nothing was done. Try again, or wait longer with --wait SECONDS.");
  return false;
}

BMTFile* DatabaseAccess::open(DatabaseUse use) {
  if (!checkName()) return nullptr;
  std::error_code ec;
  fs::file_status status = fs::status(dataFile_, ec);
  if (!fs::exists(status)) {
    context_.error("There is no database at \"" + dataFile_ +
                   "\": the data file does not exist (make one with \"metdb create "
                   "STATIONS.csv\").");
    return nullptr;
  }
  if (!fs::is_regular_file(status)) {
    context_.error("\"" + dataFile_ + "\" is not a regular file, so it cannot be a data file.");
    return nullptr;
  }
  if (!lock(use == DatabaseUse::kRead ? MetDatabaseLock::kShared : MetDatabaseLock::kExclusive)) {
    return nullptr;
  }
  std::string dirFile = directoryFile();
  bool dirExists = fs::exists(dirFile, ec);
  bool dirEmpty = dirExists && fs::file_size(dirFile, ec) == 0;

  // As the library's current database, so that selections and iterators
  // resolve against it; the configured name when --db is not given.
  const char* name = context_.databaseFile.empty() ? getMetDataFileName() : dataFile_.c_str();
  db_ = setMetDatabase(name, use == DatabaseUse::kRead ? BMTFile::kReadOnly : BMTFile::kReadWrite);
  if (db_ == nullptr || !db_->IsValid()) {
    std::string reason = libraryReason();
    context_.error("\"" + dataFile_ + "\" cannot be used as a data file: " +
                   (reason.empty() ? std::string("it is shorter than one record") : reason) + ".");
    db_ = nullptr;
    return nullptr;
  }

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
  // An empty data file is never read for a directory: nothing to describe.
  if (db_->IsEmpty() && dirExists && !dirEmpty) state_ = DirectoryFileState::kFresh;

  if (use == DatabaseUse::kRead) {
    lock_.reset();  // the open data file keeps what the directory indexes
  } else if (state_ != DirectoryFileState::kFresh && !saveDirectory()) {
    return nullptr;
  }
  return db_;
}

bool DatabaseAccess::saveDirectory() {
  if (db_->storeDirectory()) return true;
  context_.error("Cannot write the directory file \"" + directoryFile() + "\" (" + libraryReason() +
                 "); it will be rebuilt from the data file when the database is next opened.");
  return false;
}

void DatabaseAccess::discardEdits() {
  if (db_ != nullptr) db_->directory->changed = false;
}

BMTFile* DatabaseAccess::reopenRebuilt() {
  std::error_code ec;
  ScratchFolder scratch(fs::temp_directory_path(ec).string());
  if (!scratch.ok()) {
    context_.error("Cannot reopen the database: " + scratch.error() + ".");
    return nullptr;
  }
  // The database saves its directory when it is closed; the one it gets
  // here is empty and saves into the scratch folder.
  Directory* parked = new Directory(scratch.file("parked.dir").c_str());
  delete db_->directory;
  db_->directory = parked;
  fs::remove(directoryFile(), ec);
  db_ = setMetDatabase(dataFile_.c_str());
  if (db_ == nullptr || !db_->IsValid()) {
    context_.error("\"" + dataFile_ + "\" could not be opened again.");
    db_ = nullptr;
  }
  return db_;
}

std::uintmax_t DatabaseAccess::dataFileSize() const {
  std::error_code ec;
  std::uintmax_t size = fs::file_size(dataFile_, ec);
  return ec ? 0 : size;
}

long DatabaseAccess::recordCount() const {
  return static_cast<long>(dataFileSize() / static_cast<std::uintmax_t>(kLocationDataSize));
}
