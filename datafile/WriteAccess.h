#ifndef METDB_DATAFILE_WRITEACCESS_H_
#define METDB_DATAFILE_WRITEACCESS_H_

#include "datafile/BMTFile.h"
#include "datafile/SharedLock.h"
#include "platform/File.h"

// The checks and bookkeeping that every writing operation of a BMTFile
// shares. Each check notes its reason (platform::noteFailure) when it
// fails.

// db's database lock, or null when its lock file could not be opened.
SharedLock* databaseLock(const BMTFile& db);

// Whether db may be written now: open for writing, its data file open and
// not replaced by another process since it was opened, and hold (the
// database lock, exclusive) granted.
// When onDisk is given, it receives the data file's stamp as just seen
// (its length is the open file's: it is the same file), or one whose
// exists is false when none was taken.
bool checkWritable(BMTFile& db, const LockHold& hold, platform::FileStamp* onDisk = nullptr);

// checkWritable, and moreover no one else holds appended records that are
// not yet in a saved directory file, which a new data file written from
// db's directory would drop.
bool checkReplaceable(BMTFile& db, const LockHold& hold);

// After a write into db's data file: makes the file look newer than the
// directory file, even within the file system's time resolution, so that
// the next opening does not trust a directory file that misses the write.
// When seen is given, it receives what was found: the directory file's
// stamp and the data file's time as the write left it (before any setting).
struct DatingSeen {
  platform::FileStamp directory;
  std::int64_t writtenNs = 0;
};
void keepNewerThanDirectory(BMTFile& db, DatingSeen* seen = nullptr);

// After db's data file and directory file were replaced by files that
// describe db's directory: takes newFile (the new data file, open) as the
// file db reads, and notes that the directory is saved.
void adoptReplacement(BMTFile& db, platform::File newFile);

#endif  // METDB_DATAFILE_WRITEACCESS_H_
