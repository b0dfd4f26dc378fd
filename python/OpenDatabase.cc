#include "python/OpenDatabase.h"

#include "module/CurrentDatabase.h"
#include "python/PythonErrors.h"

namespace metdb {
namespace python {

namespace {

// The database open in this process, or null.
const OpenDatabase* openOne = nullptr;

}  // namespace

OpenDatabase::OpenDatabase(const std::string& path, bool readonly, double waitSeconds)
    : path_(path), readonly_(readonly) {
  if (path.empty()) {
    throw BindingError(ErrorKind::kBadInput, "No data file is named: give the path of one.");
  }
  if (!(waitSeconds >= 0.0 && waitSeconds <= 1e6)) {
    throw BindingError(ErrorKind::kBadInput, "wait: give a number of seconds, 0..1000000.");
  }
  if (openOne != nullptr) {
    throw BindingError(ErrorKind::kGeneral,
                       "\"" + openOne->path() +
                           "\" is open in this process already, and the "
                           "library works on one database at a time; close it first.");
  }
  auto access = std::make_unique<Database>(path, waitSeconds);
  access->onWarning([](const std::string& sentence) { warnDuringWork(sentence); });
  try {
    access->open(readonly ? DatabaseUse::kRead : DatabaseUse::kWrite);
  } catch (...) {
    // The library may have made the failed database its current one; it
    // must not linger (and save its directory at exit, without the lock).
    closeMetDatabase();
    throw;
  }
  access_ = std::move(access);
  openOne = this;
}

OpenDatabase::~OpenDatabase() { close(); }

void OpenDatabase::close() {
  if (access_ == nullptr) return;
  // While the lock is still held, as a database open for writing may save
  // its directory as it goes.
  dropSearchIndex();
  closeMetDatabase();
  access_.reset();
  if (openOne == this) openOne = nullptr;
}

BMTFile* OpenDatabase::db() const { return access().db(); }

Database& OpenDatabase::access() const {
  if (access_ == nullptr || access_->db() == nullptr) {
    throw BindingError(ErrorKind::kClosed, "The database \"" + path_ + "\" is closed.");
  }
  return *access_;
}

void OpenDatabase::dropSearchIndex() const {
  searchIndex_.reset();
  searched_ = false;
}

const SearchIndex* OpenDatabase::searchIndex() {
  BMTFile* file = db();
  if (searchIndex_ == nullptr && searched_) {
    searchIndex_ = std::make_unique<SearchIndex>(file->directory);
  }
  searched_ = true;
  return searchIndex_.get();
}

void OpenDatabase::requireWritable() const {
  dropSearchIndex();
  access();
  if (readonly_) {
    throw BindingError(ErrorKind::kReadOnly,
                       "The database \"" + path_ +
                           "\" is open read-only; open it with readonly=False to change it.");
  }
}

}  // namespace python
}  // namespace metdb
