#include "datafile/BMTFile.h"

#include <climits>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "datafile/WorkingDirectory.h"
#include "platform/FileHandle.h"
#include "platform/Notify.h"

namespace {

// Whether a data file name is longer than a database opens (259
// characters): setMetDatabase cuts a longer name to 260, and opening the cut
// name would create a file where none was asked for.
bool tooLong(const std::string& fileName) { return fileName.size() > 259; }

// Records read at a time while the directory is rebuilt.
constexpr long kRecordsPerRead = 4096;

// The byte offset of record index, or -1 when there is no such offset.
long recordOffset(long index) {
  if (index < 0 || index > LONG_MAX / kLocationDataSize) return -1;
  return index * kLocationDataSize;
}

// Makes the database's home current for a record operation. Only a
// relative data file name depends on the current directory: for an
// absolute one the switch and the restore (five system calls of the eleven
// that a record read costs) change nothing, and are skipped.
void enterHome(std::optional<WorkingDirectory>& scope, int drive, const std::string& home,
               const std::string& fileName) {
  if (fileName.empty() || fileName[0] != '/') scope.emplace(drive, home.c_str());
}

// Records read ahead while a BulkRead holds a database's file open: a
// compaction or an import reads the records nearly in file order, and one
// read per block instead of one per record takes most of their time off.
// Kept beside the class, by database, so that its layout stays as hosts
// know it. Writes through the database drop what was read ahead.
constexpr long kReadAheadRecords = 256;

struct ReadAhead {
  long first = 0;  // record index of records[0]
  long count = 0;  // whole records held
  std::vector<LocationData> records;
};

std::map<const BMTFile*, ReadAhead>& readAheads() {
  static std::map<const BMTFile*, ReadAhead> byDatabase;
  return byDatabase;
}

void forgetReadAhead(const BMTFile* db) {
  auto it = readAheads().find(db);
  if (it != readAheads().end()) it->second.count = 0;
}

}  // namespace

BMTFile::BMTFile(const char* dataFileName)
    : MetDatabase(dataFileName), fileName(dataFileName ? dataFileName : ""), valid(false) {
  openDatabase();
}

BMTFile::~BMTFile() {
  readAheads().erase(this);
  stream.close();
}

long BMTFile::addLocationData(LocationData& record) {
  forgetReadAhead(this);
  std::optional<WorkingDirectory> wd;
  enterHome(wd, homeDrive, homePath, fileName);
  platform::File file;
  if (tooLong(fileName) || !file.open(fileName, platform::File::kReadWriteCreate)) {
    return -1;
  }
  long length = file.length();
  if (length < 0) return -1;
  // The record goes after the last whole record; bytes beyond it do not
  // form a record, and writing there keeps the returned index true.
  long index = length / kLocationDataSize;
  long offset = index * kLocationDataSize;
  if (!file.writeAt(offset, &record, sizeof record)) {
    file.truncate(length);
    return -1;
  }
  if (!file.close()) return -1;
  return index;
}

void BMTFile::getLocationData(long index, LocationData& record) {
  long offset = recordOffset(index);
  LocationData scratch;
  if (stream.isOpen()) {  // inside an operation that holds the file open
    auto ahead = readAheads().find(this);
    if (ahead != readAheads().end() && offset >= 0) {
      ReadAhead& r = ahead->second;
      if (index < r.first || index >= r.first + r.count) {
        long got = stream.readAt(offset, r.records.data(), r.records.size() * sizeof scratch);
        r.first = index;
        r.count = got < 0 ? 0 : got / kLocationDataSize;
      }
      if (index >= r.first && index < r.first + r.count) {
        std::memcpy(&record, &r.records[static_cast<std::size_t>(index - r.first)], sizeof record);
      }
    } else if (offset >= 0 &&
               stream.readAt(offset, &scratch, sizeof scratch) == kLocationDataSize) {
      std::memcpy(&record, &scratch, sizeof record);
    }
    return;
  }
  std::optional<WorkingDirectory> wd;
  enterHome(wd, homeDrive, homePath, fileName);
  platform::File file;
  if (!file.open(fileName, platform::File::kReadOnly)) throw this;
  if (offset < 0) return;
  if (file.readAt(offset, &scratch, sizeof scratch) == kLocationDataSize) {
    std::memcpy(&record, &scratch, sizeof record);
  }
}

BMTFile::BulkRead::BulkRead(BMTFile& db) : db_(db) {
  WorkingDirectory wd(db.homeDrive, db.homePath.c_str());
  readAheads().erase(&db);
  if (db.stream.open(db.fileName, platform::File::kReadOnly)) {
    readAheads()[&db].records.resize(static_cast<std::size_t>(kReadAheadRecords));
  }
}

BMTFile::BulkRead::~BulkRead() {
  readAheads().erase(&db_);
  db_.stream.close();
}

void BMTFile::setLocationData(long index, LocationData& record) {
  forgetReadAhead(this);
  std::optional<WorkingDirectory> wd;
  enterHome(wd, homeDrive, homePath, fileName);
  platform::File file;
  if (tooLong(fileName) || !file.open(fileName, platform::File::kReadWriteCreate)) {
    platform::messageBeep();
    return;
  }
  long offset = recordOffset(index);
  if (offset < 0) return;
  long length = file.length();
  // The record's old bytes, put back when the write fails part way (a file
  // size limit inside the record), so that a failed rewrite changes nothing.
  char old[sizeof record];
  long kept = offset < length ? file.readAt(offset, old, sizeof old) : 0;
  if (!file.writeAt(offset, &record, sizeof record)) {
    if (kept > 0) file.writeAt(offset, old, static_cast<std::size_t>(kept));
    if (length >= 0 && offset + kLocationDataSize > length) file.truncate(length);
    platform::messageBeep();
    return;
  }
  if (!file.close()) platform::messageBeep();
}

bool BMTFile::IsValid() { return valid; }

bool BMTFile::IsEmpty() {
  WorkingDirectory wd(homeDrive, homePath.c_str());
  platform::FileHandle handle(fileName.c_str());
  if (!handle.valid()) return true;
  return handle.length() <= 0;
}

void BMTFile::openDatabase() {
  WorkingDirectory wd(homeDrive, homePath.c_str());
  if (!tooLong(fileName) && stream.open(fileName, platform::File::kReadWriteCreate)) {
    LocationData first;
    if (stream.readAt(0, &first, sizeof first) == kLocationDataSize || IsEmpty()) {
      valid = true;
      MetDatabase::openDatabase();
    }
  }
  saveDirectory = valid;
  stream.close();
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
  WorkingDirectory wd(homeDrive, homePath.c_str());
  std::uint32_t d = directory->getTimeStamp();
  platform::FileHandle handle(fileName.c_str());
  std::uint32_t t = handle.valid() ? handle.getftime() : 0;
  return t > d ? 1 : 0;
}
