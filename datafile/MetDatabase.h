#ifndef METDB_DATAFILE_METDATABASE_H_
#define METDB_DATAFILE_METDATABASE_H_

#include <string>

#include "common/LocationData.h"
#include "directory/Directory.h"
#include "platform/Export.h"

// A database: a data file of LocationData records and the Directory that
// indexes it. MetDatabase forms the directory file's name, owns the
// directory, remembers the home folder in which every file operation runs,
// decides on opening whether the directory is read from its file or rebuilt
// from the records, and saves the directory when destroyed. BMTFile is the
// one concrete kind.
//
// The virtual operations keep this slot order; host programs built against
// the library depend on it. Failures show in results, never as exceptions,
// except getLocationData's thrown pointer (and std::bad_alloc where memory
// runs out).
class METDB_EXPORT MetDatabase {
 public:
  // Forms the directory file's name from dataFileName, creates the empty
  // directory and records the current drive and folder as the home. Does not
  // touch the data file.
  explicit MetDatabase(const char* dataFileName);

  // Saves the directory when it changed or its file is missing or empty
  // (never for a database whose data file could not be used), then deletes
  // it.
  virtual ~MetDatabase();

  MetDatabase(const MetDatabase&) = delete;
  MetDatabase& operator=(const MetDatabase&) = delete;

  // Appends a record; returns its record index, or -1 when nothing was
  // appended.
  virtual long addLocationData(LocationData& record) = 0;
  // Reads record `index` into record; leaves it unchanged when there is no
  // such record. Throws the database's own pointer when the data file cannot
  // be opened.
  virtual void getLocationData(long index, LocationData& record) = 0;
  // Writes record over record `index`. Reports no failure to the caller.
  virtual void setLocationData(long index, LocationData& record) = 0;
  // Whether the data file was usable when the database was opened.
  virtual bool IsValid() = 0;
  // True when the data file has no bytes or cannot be opened.
  virtual bool IsEmpty() = 0;
  // Loads the directory: nothing for an invalid or empty data file; a
  // rebuild from the records when the directory file is missing, empty,
  // older than the data file or damaged; otherwise a read of the file.
  virtual void openDatabase();
  // Enters every record of the data file into the directory.
  virtual void constructDirectory() = 0;
  // 1 when the data file was modified later than the directory file, else 0.
  virtual int IsDirectoryOutofDate() = 0;

  // The formed directory file name for a data file name: the extension (the
  // part after the last '.' of the file name, folders not counted) becomes
  // "dir" in its first three characters; a name without one gives
  // "default.dir".
  static std::string directoryFileName(const std::string& dataFileName);

  Directory* directory;  // owned; never null
  char homeDir[260];     // the home folder, cut to 259 characters
  int homeDrive;         // the home drive; always 0 here

 protected:
  // The home folder in full, whatever its length.
  std::string homePath;
  // Cleared by a database whose data file could not be used: then its
  // directory file is never written, since an empty one newer than the data
  // file would later hide all its records.
  bool saveDirectory = true;
};

#endif  // METDB_DATAFILE_METDATABASE_H_
