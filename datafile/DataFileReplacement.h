#ifndef METDB_DATAFILE_DATAFILEREPLACEMENT_H_
#define METDB_DATAFILE_DATAFILEREPLACEMENT_H_

#include <string>
#include <vector>

#include "common/LocationData.h"
#include "platform/DurableReplacement.h"
#include "platform/File.h"

class Directory;

// Writes a new data file beside an old one and puts it in the old one's
// place atomically, together with the directory file that describes it: at
// every instant, and after a power cut at any instant, the data file is
// either the complete old file or the complete new one, and the directory
// file either describes the data file or is older than it (so that an
// opening rebuilds it). Both files are replaced durably
// (platform::DurableReplacement), the data file's rename made durable before
// the directory file's. Until commit() succeeds nothing visible changes;
// destroying an uncommitted replacement removes its temporary files.
//
// Relative names are taken in the current directory at the time of each
// call: callers hold the database's WorkingDirectory throughout.
class DataFileReplacement {
 public:
  // dataFile: the file to replace. directoryFile: the directory file that
  // describes it.
  DataFileReplacement(const std::string& dataFile, const std::string& directoryFile);
  ~DataFileReplacement();

  DataFileReplacement(const DataFileReplacement&) = delete;
  DataFileReplacement& operator=(const DataFileReplacement&) = delete;

  // Creates the temporary file. False when it cannot be made.
  bool begin();

  // Appends a record; returns its index in the new file, or -1 when an
  // earlier write failed (then commit() fails too). Writes are buffered.
  long append(const LocationData& record);

  // Number of records appended so far.
  long count() const { return count_; }

  // Flushes the new file, writes describing (the directory of the new file;
  // its fileName is used only to find where) to a synced temporary
  // directory file, then syncs the new data file (a failed sync fails the
  // commit), renames it over the old one, syncs the folder, and renames the
  // new directory file over the old one, in that order. The new data file is made newer than
  // the old directory file, so that a process that dies between the two
  // renames leaves a directory file the next opening rebuilds. When the
  // directory cannot be written (a name that the directory file cannot
  // hold, a full disk) the swap goes on and the old directory file is
  // removed instead, as it is when the folder's sync after the data file's
  // rename fails (the reason then stays in lastFailure()). Returns false,
  // with the old files in place and the temporary files removed, when the
  // data file cannot be replaced.
  bool commit(Directory& describing);

  // Has commit() also replace the station file stationFile by one holding
  // text, written beside it before the data file is renamed and renamed
  // into place after the directory file. Should that fail, or the process
  // die before, the old station file stays: its entries name their records
  // by fingerprint, so that they are found again (StationFile::match).
  // With beforeData (an import, which adds records and drops none) it is
  // renamed into place before the data file instead: should the process
  // die between, the old records find their entries in the new file by
  // fingerprint, where the old file would have none for the new records.
  // The station file is then replaced even when the data file's rename
  // fails afterwards.
  void carryStations(const std::string& stationFile, const std::string& text,
                     bool beforeData = false) {
    stationFile_ = stationFile;
    stationText_ = text;
    carryStations_ = true;
    stationsFirst_ = beforeData;
  }

  // After a successful commit: the new data file, open for reading and
  // writing. The replacement keeps nothing open afterwards.
  platform::File takeFile();

  // The temporary file's name, for tests and diagnostics.
  const std::string& temporaryName() const { return data_.temporaryName(); }

 private:
  bool flush();
  void discard();
  // Writes describing into a new temporary file beside the directory file;
  // its name, or "" when it could not be written.
  std::string writeDirectory(Directory& describing);

  std::string dataFile_;
  std::string directoryFile_;
  platform::DurableReplacement data_;
  std::vector<char> buffer_;
  long count_ = 0;
  bool failed_ = false;
  bool committed_ = false;
  bool carryStations_ = false;
  bool stationsFirst_ = false;
  std::string stationFile_;
  std::string stationText_;
};

#endif  // METDB_DATAFILE_DATAFILEREPLACEMENT_H_
