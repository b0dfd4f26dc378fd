#ifndef METDB_DATAFILE_DATABASESTATE_H_
#define METDB_DATAFILE_DATABASESTATE_H_

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/LocationData.h"
#include "datafile/SharedLock.h"
#include "platform/FileStamp.h"

class BMTFile;
class Directory;

// A set of record indices: one bit per index for the indices a data file
// can hold in memory's reach (up to 2^28), and a sorted list for the rare
// larger one a damaged directory file may give.
class RecordIndexSet {
 public:
  void insert(long index) {
    if (index < 0) return;
    if (index >= kBitLimit) {
      auto at = std::lower_bound(large_.begin(), large_.end(), index);
      if (at == large_.end() || *at != index) large_.insert(at, index);
      return;
    }
    if (static_cast<std::size_t>(index) >= bits_.size()) bits_.resize(index + 1);
    bits_[static_cast<std::size_t>(index)] = true;
  }
  bool contains(long index) const {
    if (index < 0) return false;
    if (index >= kBitLimit) return std::binary_search(large_.begin(), large_.end(), index);
    return static_cast<std::size_t>(index) < bits_.size() && bits_[static_cast<std::size_t>(index)];
  }

 private:
  static constexpr long kBitLimit = 1L << 28;
  std::vector<bool> bits_;
  std::vector<long> large_;
};

// What a BMTFile knows beyond the members that hosts see: kept beside the
// class, by database, so that the class keeps the layout hosts were built
// against. Created with the database and dropped when it is destroyed.
struct DatabaseState {
  bool readOnly = false;
  std::string dataPath;              // the data file's name made absolute in the home folder
  std::shared_ptr<SharedLock> lock;  // null when the lock file cannot be opened

  // The data file that the database's stream holds and its directory
  // indexes, as it was opened (or last written by this database).
  platform::FileStamp data;
  // The directory file as this database last read or wrote it.
  platform::FileStamp directoryFile;
  // The record indices of the directory as last read from or written to
  // the directory file: what the directory file held for this database,
  // against which its own additions and deletions are told. Not kept for a
  // read-only database, which never saves.
  RecordIndexSet baseline;
  // Whether records were written through the stream since the directory
  // file was last saved: they are synced before the directory file that
  // indexes them is put in place.
  bool unsynced = false;
  // Whether a sync of those records failed: they may be lost whatever a
  // later sync says (the system forgets the failed pages), so no directory
  // file that indexes them is saved through this database again.
  bool syncFailed = false;

  // What the last append left known, for the next append under the same
  // exclusive hold (BMTFile.cc, appendRecord): while hold is the lock's
  // present exclusive hold and nobody in this process took the lock after
  // that append (acquisitions), no one else has written either file, so the
  // next append needs neither the check that the data file was not
  // replaced nor its length, and need not date the file again when the
  // write's own time is already past the directory file's. hold 0: nothing
  // known.
  struct AppendFacts {
    std::uint64_t hold = 0;
    std::uint64_t acquisitions = 0;
    long length = 0;               // the data file's length after that append
    bool directoryExists = false;  // whether there was a directory file
    std::int64_t directoryNs = 0;  // its modification time
    std::int64_t writtenNs = 0;    // the data file's time as a write left it, not set by us
    std::int64_t clockNs = 0;      // the system's clock after that write
  };
  AppendFacts appendFacts;

  // Records read ahead (BMTFile::getLocationData): ahead holds records
  // aheadFirst to aheadFirst + aheadCount - 1 as one read found them. Any of
  // them is given while a BulkRead is held (bulkReads of them); otherwise
  // only to the walk that read them, while it keeps moving forward.
  int bulkReads = 0;
  long aheadFirst = 0;
  long aheadCount = 0;
  std::vector<LocationData> ahead;
  long lastRead = -1;  // the record index read last
  int forwardRun = 0;  // reads in a row that each moved a little forward
};

// The state of db, created on first use.
DatabaseState& stateOf(const BMTFile* db);
// Drops db's state.
void forgetState(const BMTFile* db);

// The record indices of directory's locations, in time linear in their
// number (the location list is not sorted for it).
RecordIndexSet recordIndices(const Directory& directory);

// The name of a directory's file made absolute in its home folder.
std::string directoryPath(const Directory& directory);

#endif  // METDB_DATAFILE_DATABASESTATE_H_
