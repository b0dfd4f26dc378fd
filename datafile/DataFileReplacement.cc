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

}  // namespace

DataFileReplacement::DataFileReplacement(const std::string& dataFile,
                                         const std::string& directoryFile)
    : dataFile_(dataFile), directoryFile_(directoryFile), data_(dataFile) {}

DataFileReplacement::~DataFileReplacement() {
  if (!committed_) discard();
}

bool DataFileReplacement::begin() {
  if (!data_.begin()) return false;
  buffer_.reserve(kBufferRecords * sizeof(LocationData));
  return true;
}

long DataFileReplacement::append(const LocationData& record) {
  if (failed_ || !data_.file().isOpen()) return -1;
  const char* bytes = reinterpret_cast<const char*>(&record);
  buffer_.insert(buffer_.end(), bytes, bytes + sizeof record);
  if (buffer_.size() >= kBufferRecords * sizeof record && !flush()) return -1;
  return count_++;
}

bool DataFileReplacement::flush() {
  if (buffer_.empty()) return !failed_;
  if (!data_.append(buffer_.data(), buffer_.size())) failed_ = true;
  buffer_.clear();
  return !failed_;
}

std::string DataFileReplacement::writeDirectory(Directory& describing) {
  // A name of its own for the new directory file, which Directory::write
  // then replaces durably; it holds nothing until then.
  std::string name;
  platform::File placeholder;
  std::string folder =
      directoryFile_.find('/') == std::string::npos ? "" : platform::folderOf(directoryFile_);
  if (!platform::createTempFile(folder, &name, &placeholder)) return "";
  // The old directory file's permissions, or, when there is none, the data
  // file's (the placeholder is private to its owner); write() keeps them.
  const std::string& model =
      platform::pathExists(directoryFile_.c_str()) ? directoryFile_ : dataFile_;
  platform::copyPermissions(model.c_str(), name.c_str());
  placeholder.close();
  std::string own = describing.fileName;
  describing.fileName = name;
  bool written = describing.write();
  describing.fileName = own;
  if (!written) {
    platform::removeFile(name.c_str());
    return "";
  }
  return name;
}

bool DataFileReplacement::commit(Directory& describing) {
  if (failed_ || !data_.file().isOpen() || !flush()) {
    discard();
    return false;
  }
  std::string newDirectory = writeDirectory(describing);

  // The new data file must be newer than the old directory file, and the
  // new directory file no older than the new data file.
  platform::FileStamp oldDirectory = platform::stampOf(directoryFile_);
  if (oldDirectory.exists) data_.setModifiedAfter(oldDirectory.modifiedNs);
  if (!newDirectory.empty()) {
    platform::setModifiedAtLeast(newDirectory, data_.file().stamp().modifiedNs);
  }

  // The station file goes first, durably: beside the old data file it
  // still tells the old records' information, and no cut can leave the new
  // data file beside the old station file. When it cannot be put in place
  // durably (a full disk, a failed flush), neither is the data file: the
  // new records would lose their information.
  if (carryStations_) {
    platform::DurableReplacement stations(stationFile_);
    std::string model = platform::pathExists(stationFile_.c_str()) ? stationFile_ : dataFile_;
    if (!writeStationFileBeside(&stations, stationText_, model, data_.file().stamp().modifiedNs) ||
        !stations.commit()) {
      if (!newDirectory.empty()) platform::removeFile(newDirectory.c_str());
      discard();
      return false;
    }
  }

  // The data file's rename is durable before the directory file's: after a
  // power cut the folder holds the old pair, or the new data file with the
  // old directory file (older than it, so rebuilt), or the new pair, never
  // a new directory file beside the old data file.
  bool durable = data_.commit();
  if (!data_.committed()) {
    if (!newDirectory.empty()) platform::removeFile(newDirectory.c_str());
    discard();
    return false;
  }
  committed_ = true;
  std::string reason;
  if (!durable || newDirectory.empty() ||
      !platform::renameFile(newDirectory.c_str(), directoryFile_.c_str())) {
    reason = durable ? "" : platform::lastFailure();
    if (!newDirectory.empty()) platform::removeFile(newDirectory.c_str());
    platform::removeFile(directoryFile_.c_str());
  }
  platform::syncFolderOf(dataFile_.c_str());
  // The old data file's entries go once the new pair is in place.
  if (carryStations_ && stationFinal_ != stationText_) {
    platform::DurableReplacement stations(stationFile_);
    if (writeStationFileBeside(&stations, stationFinal_, dataFile_,
                               data_.file().stamp().modifiedNs)) {
      stations.commit();
    }
  }
  // A directory file that could not be written is no failure, as the next
  // opening rebuilds it from the new data file; neither is a station file
  // that could not be replaced.
  platform::clearFailure();
  if (!reason.empty()) platform::noteFailure(reason);
  return true;
}

platform::File DataFileReplacement::takeFile() {
  if (!committed_) return platform::File();
  return std::move(data_.file());
}

void DataFileReplacement::discard() {
  data_.abandon();
  failed_ = true;
}
