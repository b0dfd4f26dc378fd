#ifndef METDB_DATAFILE_BMTFILE_H_
#define METDB_DATAFILE_BMTFILE_H_

#include <string>

#include "common/LocationData.h"
#include "datafile/MetDatabase.h"
#include "platform/Export.h"
#include "platform/File.h"

class InfoDevice;

// The database over a binary data file of LocationData records. The
// constructor opens it at once: it creates an empty data file when none
// exists (unless opened for reading only), judges whether the file is
// usable, and loads or rebuilds the directory. The data file stays open for
// the database's life, and every record is read through that open file:
// when another process replaces the data file (a compaction, an import),
// this database goes on reading the file its directory indexes, and its
// writes fail instead of landing in the new file (IsStale() tells; open the
// database again to see the new file). Relative names mean the same file in
// the database's home folder, whatever the caller's current directory.
//
// Several processes may open one database. Its lock (see MetDatabaseLock)
// is held shared while the database is opened and loaded, and exclusively
// for each append, rewrite, compaction, import and directory save; each
// waits up to MetDatabaseLock::getWaitSeconds() and fails when the time
// runs out. getMetLastError() says why an operation failed.
//
// Whoever creates the object owns it (the one getMetDatabase gives belongs
// to the library); deleting it saves the directory when needed.
class METDB_EXPORT BMTFile : public MetDatabase {
 public:
  // How a database is opened.
  enum Access {
    kReadWrite,  // as the one-argument constructor: the data file is created when missing
    kReadOnly,   // nothing is ever written: no file created, no directory saved
  };

  // Opens the database on dataFileName, absolute or relative to the current
  // directory, for reading and writing. Never fails as such: an unusable
  // data file, one that cannot be opened for reading and writing, or a name
  // of 260 characters or more (nothing is created then), gives a database
  // whose IsValid() is false, with an empty directory that is never saved.
  explicit BMTFile(const char* dataFileName);
  // The same, with the access given. A database opened kReadOnly works on
  // a read-only medium or a data file the user may only read: its data file
  // must exist; a directory file that is missing or out of date is rebuilt
  // in memory but not saved; appends return -1, rewrites beep, compaction
  // and import do nothing.
  BMTFile(const char* dataFileName, Access access);
  ~BMTFile() override;

  // Appends record after the last whole record (dropping any bytes that do
  // not form a whole record) and returns its index, which no other process
  // appending to the same file is given. Returns -1, with the file as it
  // was, when the database is read-only or stale, the lock cannot be had,
  // or the write fails (a full disk). The directory is not touched: entering
  // the record there is the caller's business; until the directory is
  // saved, other processes' compactions and imports refuse to run, so that
  // the record is not dropped.
  long addLocationData(LocationData& record) override;

  // Reads record `index` of the data file this database opened into
  // record. A record that is not wholly there (a negative index, one at or
  // past the end) leaves record unchanged. Throws this database's own
  // BMTFile* when the data file could not be opened; the object stays owned
  // by its owner (do not delete it through the thrown pointer).
  //
  // A walk that moves forward through the file a few records at a time (a
  // directory walk of a grouped file, a selection's iterator) is read ahead
  // in blocks of records: such a walk sees another process's rewrite of a
  // record up to a block (256 records) later than a lone read would. A read
  // that repeats an index, goes back or jumps reads the file afresh.
  void getLocationData(long index, LocationData& record) override;

  // Writes record over record `index`; an index equal to the record count
  // appends. A negative index writes nothing. A refused write (read-only,
  // stale, no lock) or a failed one sounds the beep; a failed write puts
  // back the bytes it overwrote and cuts a lengthened file back to its old
  // length, so that the file is as before.
  void setLocationData(long index, LocationData& record) override;

  bool IsValid() override;
  // Whether the data file this database opened has no bytes (or could not
  // be opened).
  bool IsEmpty() override;
  void openDatabase() override;
  // Feeds every whole record, in file order, to Directory::addOrderedEntry.
  // Only called from openDatabase, while the data file is open.
  void constructDirectory() override;
  // 1 when the data file was modified later than the directory file, to
  // the nanosecond, or the directory file is missing; else 0.
  int IsDirectoryOutofDate() override;

  // The length in bytes of the data file this database holds open (the
  // one its directory indexes; its whole records are length / 331), or -1
  // when it could not be opened.
  long fileLength();

  // Whether the database was opened kReadOnly.
  bool IsReadOnly();
  // Whether another process has replaced or removed the data file since
  // this database opened it. A stale database still reads the records its
  // directory indexes, but refuses every write; delete it and open the
  // database again to see the other process's work.
  bool IsStale();
  // Whether another process, or another database object of this process,
  // holds records it appended to this database but has not yet entered in
  // a saved directory file. A change that saves this database's directory
  // should wait until it has: the other's save is built on the directory
  // it read. Takes the database lock exclusively for the question (waiting
  // as the library's own operations do); false when no lock can be had.
  bool OthersHoldUnsavedRecords();

  // Appends record as addLocationData does, for a writer that enters it in
  // its directory and saves that (storeDirectory) next: the directory file
  // is first dated, durably, past the write, so that until the save an
  // opening still trusts it. A process that dies or fails before the save
  // so leaves the database as it was, the record unused at the end of the
  // file (the next compaction drops it), rather than a data file newer than
  // its directory file, whose rebuild would take the record in (and every
  // deleted location's record with it). Without a directory file it is
  // addLocationData. Returns the record index, or -1 (nothing written).
  long appendBeforeSave(LocationData& record);
  // Takes off the records from index on, which appendBeforeSave wrote
  // since the directory was last saved, for a writer whose edit failed:
  // the data file is left no newer than the directory file. False when the
  // database may not be written or the file cannot be cut.
  bool dropAppended(long index);

  // Saves the directory to its file now (the destructor does the same when
  // the directory changed). When another process saved the directory file
  // since this database read or last saved it, the two are joined: the
  // other's locations stay, less those this database deleted, and this
  // one's additions join them; this database's directory is then replaced
  // by the joined one (pointers into the old one are dangling). Records
  // this database wrote since its last save are synced to the disk first.
  // Returns false, changing nothing, for a read-only, invalid or stale
  // database, when the lock cannot be had, or when the data file cannot be
  // synced or the directory file written.
  bool storeDirectory();

  // Compacts the data file into directory order, dropping records that no
  // location refers to, and renumbers the locations' record indices. A
  // location whose record lies past the end of the file gets a record of
  // zero bytes. The new directory file is written before the new data file
  // is renamed into place, and follows it at once, so that the two files
  // always describe each other (should the process die between the two
  // renames, the old directory file is older than the new data file, and
  // the next opening rebuilds it). On any failure (read-only or stale,
  // another process holding unsaved appended records, no lock, no
  // temporary file, a failed write, sync or rename) the data file, the
  // directory and its file stay as they were, and getMetLastError() says
  // why. A BMTFile* thrown by getLocationData passes out the same way.
  void remakeDatabase();
  // Imports the records of source (not owned, left unchanged) into this
  // database: both are merged in hierarchy order into a new data file and a
  // new directory, which replace the old ones only once the file is in
  // place. Of two equal records (compareLocationData) only one is kept, the
  // source's when replace is set. info (the caller's) hears every record and
  // the closing report; the new directory file is put in place with the new
  // data file, as by remakeDatabase. On failure (as for remakeDatabase)
  // nothing changes and, once records were shown, info gets "Importing of
  // data failed.". A BMTFile* thrown while reading either database, or any
  // exception info throws, passes out after that report. Importing a
  // database into itself does nothing.
  void merge(MetDatabase& source, bool replace, InfoDevice& info);

  // Makes getLocationData read ahead in blocks of records while a
  // compaction or an import walks the database nearly in file order, also
  // where it steps back within a block. Writes through this database drop
  // what was read ahead. May be nested.
  class BulkRead {
   public:
    // db must outlive the object.
    explicit BulkRead(BMTFile& db);
    // Stops reading ahead.
    ~BulkRead();
    BulkRead(const BulkRead&) = delete;
    BulkRead& operator=(const BulkRead&) = delete;

   private:
    BMTFile& db_;
  };

  platform::File stream;  // the data file the directory indexes, open for the database's life
  std::string fileName;   // the data file's name as given
  bool valid;             // what IsValid() gives: the file was usable when opened
};

#endif  // METDB_DATAFILE_BMTFILE_H_
