#include "datafile/DataFileReplacement.h"

#include <cstring>
#include <utility>

#include "datafile/StationFileWrite.h"
#include "directory/Directory.h"
#include "platform/Failure.h"
#include "platform/FileOps.h"
#include "platform/FileStamp.h"
#include "platform/TempFile.h"

namespace {

// Records gathered before each write to the temporary file.
constexpr std::size_t kBufferRecords = 4096;

// The folder createTempFile takes for a file name: "" for the current one.
std::string folderFor(const std::string& name) {
  return name.find('/') == std::string::npos ? "" : platform::folderOf(name);
}

}  // namespace

DataFileReplacement::DataFileReplacement(const std::string& dataFile,
                                         const std::string& directoryFile)
    : dataFile_(dataFile), directoryFile_(directoryFile) {}

DataFileReplacement::~DataFileReplacement() {
  if (!committed_) discard();
}

bool DataFileReplacement::begin() {
  if (!platform::createTempFile(folderFor(dataFile_), &tempName_, &temp_)) {
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

std::string DataFileReplacement::writeDirectory(Directory& describing) {
  std::string name;
  platform::File placeholder;
  if (!platform::createTempFile(folderFor(directoryFile_), &name, &placeholder)) return "";
  placeholder.close();
  std::string own = describing.fileName;
  describing.fileName = name;
  bool written = describing.write();
  describing.fileName = own;
  if (!written) {
    platform::removeFile(name.c_str());
    return "";
  }
  // The old directory file's permissions, or, when there is none, the data
  // file's (the placeholder was private to its owner).
  const std::string& model =
      platform::pathExists(directoryFile_.c_str()) ? directoryFile_ : dataFile_;
  platform::copyPermissions(model.c_str(), name.c_str());
  return name;
}

bool DataFileReplacement::commit(Directory& describing) {
  if (failed_ || !temp_.isOpen() || !flush() || !temp_.sync()) {
    discard();
    return false;
  }
  platform::copyPermissions(dataFile_.c_str(), tempName_.c_str());
  std::string newDirectory = writeDirectory(describing);

  // The new data file must be newer than the old directory file, and the
  // new directory file no older than the new data file.
  platform::FileStamp oldDirectory = platform::stampOf(directoryFile_);
  if (oldDirectory.exists) temp_.setModifiedAfter(oldDirectory.modifiedNs);
  if (!newDirectory.empty()) {
    platform::setModifiedAtLeast(newDirectory, temp_.stamp().modifiedNs);
  }

  std::string newStations;
  if (carryStations_) {
    std::string model = platform::pathExists(stationFile_.c_str()) ? stationFile_ : dataFile_;
    newStations =
        writeStationFileBeside(stationFile_, stationText_, model, temp_.stamp().modifiedNs);
  }

  if (!platform::renameFile(tempName_.c_str(), dataFile_.c_str())) {
    if (!newDirectory.empty()) platform::removeFile(newDirectory.c_str());
    if (!newStations.empty()) platform::removeFile(newStations.c_str());
    discard();
    return false;
  }
  committed_ = true;
  if (newDirectory.empty() || !platform::renameFile(newDirectory.c_str(), directoryFile_.c_str())) {
    if (!newDirectory.empty()) platform::removeFile(newDirectory.c_str());
    platform::removeFile(directoryFile_.c_str());
  }
  if (!newStations.empty() && !platform::renameFile(newStations.c_str(), stationFile_.c_str())) {
    platform::removeFile(newStations.c_str());
  }
  platform::syncFolderOf(dataFile_.c_str());
  // Done: a directory file that could not be written is no failure, as the
  // next opening rebuilds it from the new data file.
  platform::clearFailure();
  return true;
}

platform::File DataFileReplacement::takeFile() {
  if (!committed_) return platform::File();
  return std::move(temp_);
}

void DataFileReplacement::discard() {
  temp_.close();
  if (!tempName_.empty()) platform::removeFile(tempName_.c_str());
  tempName_.clear();
  failed_ = true;
}
