#include "datafile/DataFileReplacement.h"

#include <cstring>

#include "platform/FileOps.h"
#include "platform/TempFile.h"

namespace {

// Records gathered before each write to the temporary file.
constexpr std::size_t kBufferRecords = 4096;

}  // namespace

DataFileReplacement::DataFileReplacement(const std::string& dataFile,
                                         const std::string& directoryFile)
    : dataFile_(dataFile), directoryFile_(directoryFile) {}

DataFileReplacement::~DataFileReplacement() {
  if (!committed_) discard();
}

bool DataFileReplacement::begin() {
  std::string folder =
      dataFile_.find('/') == std::string::npos ? "" : platform::folderOf(dataFile_);
  if (!platform::createTempFile(folder, &tempName_, &temp_)) {
    tempName_.clear();
    return false;
  }
  buffer_.reserve(kBufferRecords * sizeof(LocationData));
  return true;
}

long DataFileReplacement::append(const LocationData& record) {
  if (failed_ || !temp_.isOpen()) return -1;
  const char* bytes = reinterpret_cast<const char*>(&record);
  buffer_.insert(buffer_.end(), bytes, bytes + sizeof record);
  if (buffer_.size() >= kBufferRecords * sizeof record && !flush()) return -1;
  return count_++;
}

bool DataFileReplacement::flush() {
  if (buffer_.empty()) return !failed_;
  if (!temp_.writeAt(written_, buffer_.data(), buffer_.size())) failed_ = true;
  written_ += static_cast<long>(buffer_.size());
  buffer_.clear();
  return !failed_;
}

bool DataFileReplacement::commit() {
  if (failed_ || !temp_.isOpen() || !flush() || !temp_.sync() || !temp_.close()) {
    discard();
    return false;
  }
  platform::copyPermissions(dataFile_.c_str(), tempName_.c_str());

  // Move the directory file aside under a name of our own making, so that
  // it can be put back exactly as it was if the swap fails.
  std::string aside;
  if (platform::pathExists(directoryFile_.c_str())) {
    platform::File placeholder;
    std::string folder =
        directoryFile_.find('/') == std::string::npos ? "" : platform::folderOf(directoryFile_);
    if (!platform::createTempFile(folder, &aside, &placeholder) ||
        !platform::renameFile(directoryFile_.c_str(), aside.c_str())) {
      if (!aside.empty()) platform::removeFile(aside.c_str());
      discard();
      return false;
    }
  }
  if (!platform::renameFile(tempName_.c_str(), dataFile_.c_str())) {
    if (!aside.empty()) platform::renameFile(aside.c_str(), directoryFile_.c_str());
    discard();
    return false;
  }
  committed_ = true;
  platform::syncFolderOf(dataFile_.c_str());
  if (!aside.empty()) platform::removeFile(aside.c_str());
  return true;
}

void DataFileReplacement::discard() {
  temp_.close();
  if (!tempName_.empty()) platform::removeFile(tempName_.c_str());
  tempName_.clear();
  failed_ = true;
}
