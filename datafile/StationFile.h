#ifndef METDB_DATAFILE_STATIONFILE_H_
#define METDB_DATAFILE_STATIONFILE_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "datafile/LocationData.h"
#include "datafile/StationInfo.h"
#include "platform/Export.h"

class BMTFile;

// The station file of a database: what is known of its locations beyond
// their records (StationInfo), kept in a text file beside the data file
// ("metdata.bmt" -> "metdata.stn"). Hosts that know nothing of it never
// see it; a database without one opens and works as before.
//
// Each entry names its record by index and by a fingerprint of the record
// (its four names ignoring ASCII case, its latitude and longitude), so that
// an entry whose record moved or changed without the station file (a host's
// edit, a program that knows nothing of it, a process that died between
// the renames of a compaction) is noticed, and moved to the one record of
// its fingerprint when there is one. The library's own compaction
// (BMTFile::remakeDatabase) and import (BMTFile::merge) carry the entries
// to their records' new indices; a record a host appends has no entry, and
// the entry of a location a host deletes goes with the next compaction.
//
// The file: a first line "metdb stations 1", then one line per entry,
// fields separated by tabs: record index, fingerprint (16 hex digits),
// identifiers separated by blanks, elevation in metres (empty: unknown),
// time zone, first day, last day, source.
class METDB_EXPORT StationFile {
 public:
  // One entry as the file holds it.
  struct Entry {
    long index = -1;                // the record's index in the data file
    std::uint64_t fingerprint = 0;  // the record's fingerprint()
    StationInfo info;               // what is known of the location
  };

  // What match() did.
  struct MatchReport {
    long kept = 0;     // entries whose record is where they say
    long moved = 0;    // entries moved to the one record of their fingerprint
    long dropped = 0;  // entries without such a record, dropped
  };

  // The station file's name for a data file: its extension (as for the
  // directory file) replaced by "stn"; ".stn" appended to a name without
  // one.
  static std::string nameFor(const std::string& dataFileName);

  // The fingerprint of a record: its continent, country, state and name
  // folded to lower case (ASCII), its latitude and longitude (FNV-1a, 64
  // bits).
  static std::uint64_t fingerprint(const LocationData& record);

  // Whether id is "scheme:value" with a scheme of lower-case letters,
  // digits and '-', and a value without blanks or control characters.
  static bool IsWellFormedId(const std::string& id);

  // Reads the station file of db (db must outlive this object): the file
  // beside the data file db opened, whatever the current directory. A
  // missing file gives no entries. Lines that cannot be read are left out
  // and described in faults().
  explicit StationFile(BMTFile& db);
  ~StationFile();
  StationFile(const StationFile&) = delete;
  StationFile& operator=(const StationFile&) = delete;

  // The file's name as this object reads and writes it (absolute).
  const std::string& path() const { return path_; }
  // Whether the file existed when read.
  bool exists() const { return exists_; }
  // "line N: what is wrong" for each line left out.
  const std::vector<std::string>& faults() const { return faults_; }

  // The entries by record index, as the file holds them (unchecked).
  const std::map<long, Entry>& entries();

  // Checks every entry against db's record at its index, moves an entry
  // whose fingerprint differs to the one record of its fingerprint that has
  // no entry (when there is exactly one), and drops the rest. Reads every
  // record once. Changes nothing on disk.
  MatchReport match();

  // The information on record index, or null when there is none, or the
  // entry's fingerprint is not that record's (then match() may find it
  // elsewhere). Before the file was parsed whole (entries(), match(),
  // set()), only that entry's line is read; the pointer holds until the
  // next call of this object.
  const StationInfo* find(long index);

  // The record indices whose entries hold id (the scheme matched ignoring
  // ASCII case, the value exactly), each checked against its record. Reads
  // only the lines that hold the text of id, so that a look-up does not
  // parse the whole file. When an entry's record does not match, the whole
  // file is matched first (match()).
  std::vector<long> lookup(const std::string& id);

  // Sets the information on record index (an empty one removes the
  // entry); in memory, until save().
  void set(long index, const StationInfo& info);

  // Writes the entries, each with the fingerprint of db's record at its
  // index now, under the database lock (exclusive), to a new file that
  // replaces the old one atomically. Entries whose record is missing from
  // the data file are left out. False, with getMetLastError() saying why
  // and the old file in place, for a read-only or stale database, no lock,
  // or a failed write.
  bool save();

  // The text of a station file holding entries (the library's compaction
  // and import write it beside their new data file).
  static std::string render(const std::map<long, Entry>& entries);

 private:
  // Parses text_ into entries_ once.
  void parse();
  // Whether db's record at index has fingerprint.
  bool recordMatches(long index, std::uint64_t fingerprint);

  BMTFile* db_;
  std::string path_;
  bool exists_ = false;
  bool parsed_ = false;
  bool matched_ = false;
  std::string text_;
  std::vector<std::string> faults_;
  std::map<long, Entry> entries_;
};

#endif  // METDB_DATAFILE_STATIONFILE_H_
