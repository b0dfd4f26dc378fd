#ifndef METDB_DATAFILE_STATIONCARRY_H_
#define METDB_DATAFILE_STATIONCARRY_H_

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "datafile/LocationData.h"
#include "datafile/StationFile.h"

class BMTFile;
class MetDatabase;

// Carries the station files of a compaction's or an import's databases to
// the new data file: each record written is told with the index it had in
// its database, and takes that entry when the entry's fingerprint is the
// record's. Entries that matched no record at their index (a station file
// that missed a change of the data file) are given at the end to the one
// new record of their fingerprint that has none. Only databases that are
// BMTFiles with a station file take part.
class StationCarry {
 public:
  StationCarry() = default;

  // Takes part db's station file; returns the number to tell note() of
  // db's records, or -1 when db has none (nothing to carry).
  int add(MetDatabase& db);

  // Whether any database has a station file.
  bool active() const { return !files_.empty(); }

  // The record now at newIndex of the new data file came from record
  // oldIndex of the database numbered from (add's result; -1: none). Called
  // once or twice (two equal records written as one: first the one
  // written, then the other) per new record, in order.
  void note(int from, long oldIndex, const LocationData& record, long newIndex);

  // The text of the new station file. With replaced (add's result for the
  // database whose files are replaced), its entries whose fingerprint no
  // new record has are kept too, past the new file's last record, and
  // *final is the text without them: written before the new data file is
  // in place, that text lets the old data file, should a power cut leave it
  // beside the new station file, find every entry it had (match() takes
  // them to their records), while the new data file finds none of them.
  std::string finish(int replaced = -1, std::string* final = nullptr);

 private:
  std::vector<std::unique_ptr<StationFile>> files_;
  std::vector<std::map<long, StationFile::Entry>> pending_;
  std::map<long, StationFile::Entry> carried_;
  std::vector<std::uint64_t> prints_;  // by new index
};

#endif  // METDB_DATAFILE_STATIONCARRY_H_
