#include "python/OpenDatabase.h"

#include "python/PythonErrors.h"

namespace metdb {
namespace python {

OpenDatabase::OpenDatabase(const std::string& path, bool readonly, double waitSeconds)
    : path_(path), readonly_(readonly) {
  if (path.empty()) {
    throw BindingError(ErrorKind::kBadInput, "No data file is named: give the path of one.");
  }
  if (!(waitSeconds >= 0.0 && waitSeconds <= 1e6)) {
    throw BindingError(ErrorKind::kBadInput, "wait: give a number of seconds, 0..1000000.");
  }
  auto access = std::make_unique<Database>(path, waitSeconds);
  access->onWarning([](const std::string& sentence) { warnDuringWork(sentence); });
  access->open(readonly ? DatabaseUse::kRead : DatabaseUse::kWrite);
  access_ = std::move(access);
}

OpenDatabase::~OpenDatabase() { close(); }

void OpenDatabase::close() {
  if (access_ == nullptr) return;
  // The database goes before the lock (Database's destructor), as a
  // database open for writing may save its directory as it goes.
  dropSearchIndex();
  access_.reset();
}

BMTFile* OpenDatabase::db() const { return access().db(); }

Database& OpenDatabase::access() const {
  if (access_ == nullptr || access_->db() == nullptr) {
    throw BindingError(ErrorKind::kClosed, "The database \"" + path_ + "\" is closed.");
  }
  // Another database of this process may have been made current since.
  access_->makeCurrent();
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
