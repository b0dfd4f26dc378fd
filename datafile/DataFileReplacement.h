#ifndef METDB_DATAFILE_DATAFILEREPLACEMENT_H_
#define METDB_DATAFILE_DATAFILEREPLACEMENT_H_

#include <string>
#include <vector>

#include "datafile/LocationData.h"
#include "platform/File.h"

// Writes a new data file beside an old one and puts it in the old one's
// place atomically: at every instant the data file is either the complete
// old file or the complete new one. The new records go to a temporary file
// "TQ_XXXXXX" created exclusively in the data file's folder, so that the
// final rename stays within one file system. Until commit() succeeds nothing
// visible changes; destroying an uncommitted replacement removes the
// temporary file.
//
// Relative names are taken in the current directory at the time of each
// call: callers hold the database's WorkingDirectory throughout.
class DataFileReplacement {
 public:
  // dataFile: the file to replace. directoryFile: the directory file that
  // describes it, moved aside during the swap so that it can never be taken
  // for a description of the new data file.
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

  // Flushes and syncs the new file, gives it the old file's permission bits
  // and renames it over the data file. The directory file is moved aside
  // first and removed once the new data file is in place (put back when the
  // rename fails), so the next opening rebuilds the directory unless the
  // owner writes a new one. Returns false, with the old files in place and
  // the temporary file removed, when anything fails.
  bool commit();

  // The temporary file's name, for tests and diagnostics.
  const std::string& temporaryName() const { return tempName_; }

 private:
  bool flush();
  void discard();

  std::string dataFile_;
  std::string directoryFile_;
  std::string tempName_;
  platform::File temp_;
  std::vector<char> buffer_;
  long count_ = 0;
  long written_ = 0;  // bytes already in the temporary file
  bool failed_ = false;
  bool committed_ = false;
};

#endif  // METDB_DATAFILE_DATAFILEREPLACEMENT_H_
