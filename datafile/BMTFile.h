#ifndef METDB_DATAFILE_BMTFILE_H_
#define METDB_DATAFILE_BMTFILE_H_

#include <string>

#include "datafile/LocationData.h"
#include "datafile/MetDatabase.h"
#include "platform/Export.h"
#include "platform/File.h"

class InfoDevice;

// The database over a binary data file of LocationData records. The
// constructor opens it at once: it creates an empty data file when none
// exists, judges whether the file is usable, and loads or rebuilds the
// directory. No data file stays open between operations: each record
// operation opens the file by its name (relative names mean the same file
// in the database's home folder, whatever the caller's current directory)
// and closes it before returning. Whoever creates the object owns it (the
// one getMetDatabase gives belongs to the library); deleting it saves the
// directory when needed.
class METDB_EXPORT BMTFile : public MetDatabase {
 public:
  // Opens the database on dataFileName, absolute or relative to the current
  // directory. Never fails as such: an unusable data file, or a name of 260
  // characters or more (nothing is created then), gives a database whose
  // IsValid() is false, with an empty directory that is never saved.
  explicit BMTFile(const char* dataFileName);
  ~BMTFile() override;

  // Appends record after the last whole record (dropping any bytes that do
  // not form a whole record) and returns its index. Returns -1, with the
  // file as it was, when the file cannot be opened or the write fails (a
  // full disk). The directory is not touched: entering the record there is
  // the caller's business.
  long addLocationData(LocationData& record) override;

  // Reads record `index` into record. A record that is not wholly there (a
  // negative index, one at or past the end) leaves record unchanged. Throws
  // this database's own BMTFile* when the data file cannot be opened for
  // reading; the object stays owned by its owner (do not delete it through
  // the thrown pointer).
  void getLocationData(long index, LocationData& record) override;

  // Writes record over record `index`; an index equal to the record count
  // appends. A negative index writes nothing. A failed open or write sounds
  // the beep; a failed write puts back the bytes it overwrote and cuts a
  // lengthened file back to its old length, so that the file is as before.
  void setLocationData(long index, LocationData& record) override;

  bool IsValid() override;
  bool IsEmpty() override;
  void openDatabase() override;
  // Feeds every whole record, in file order, to Directory::addOrderedEntry.
  // Only called from openDatabase, while the data file is open.
  void constructDirectory() override;
  int IsDirectoryOutofDate() override;

  // Compacts the data file into directory order, dropping records that no
  // location refers to, and renumbers the locations' record indices. A
  // location whose record lies past the end of the file gets a record of
  // zero bytes. The new
  // file replaces the old one atomically; on any failure (no temporary file,
  // a failed write, sync or rename) the data file, the directory and its
  // file stay as they were. A BMTFile* thrown by getLocationData passes out
  // the same way.
  void remakeDatabase();
  // Imports the records of source (not owned, left unchanged) into this
  // database: both are merged in hierarchy order into a new data file and a
  // new directory, which replace the old ones only once the file is in
  // place. Of two equal records (compareLocationData) only one is kept, the
  // source's when replace is set. info (the caller's) hears every record and
  // the closing report; on failure nothing changes and, once records were
  // shown, info gets "Importing of data failed.". A BMTFile* thrown while
  // reading either database passes out after that report. Importing a
  // database into itself does nothing.
  void merge(MetDatabase& source, bool replace, InfoDevice& info);

  // Keeps the data file open for reading while a compaction or an import
  // runs, so that getLocationData reads through one open file instead of
  // opening and closing it once per record, and reads ahead in blocks of
  // records. Writes through this database drop what was read ahead; a
  // change made to the file by anyone else while the object lives may go
  // unseen. When the file cannot be opened nothing is kept open, and
  // getLocationData opens (and throws) as usual.
  class BulkRead {
   public:
    // Opens db's data file for reading, in db's home; db must outlive the
    // object. A failed open is not reported.
    explicit BulkRead(BMTFile& db);
    // Closes the data file again.
    ~BulkRead();
    BulkRead(const BulkRead&) = delete;
    BulkRead& operator=(const BulkRead&) = delete;

   private:
    BMTFile& db_;
  };

  platform::File stream;  // open only while an operation runs
  std::string fileName;   // the data file's name as given
  bool valid;             // what IsValid() gives: the file was usable when opened
};

#endif  // METDB_DATAFILE_BMTFILE_H_
