#ifndef METDB_MODULE_CURRENTDATABASE_H_
#define METDB_MODULE_CURRENTDATABASE_H_

#include "datafile/BMTFile.h"
#include "directory/VELDstring.h"
#include "platform/Export.h"

// The process-wide current database. When the library is loaded it reads
// the configured data file name from "ORVANE.INI" beside libmetdb.so
// (section "Files", key "MetDataFile"; by default the "HomeDir" value of
// section "Directories", or the current directory, followed by
// "/metdata.bmt"). No database exists until the first call below that needs
// one; the library deletes the current database (saving its directory when
// needed) when it is unloaded. Not thread-safe: one thread at a time.

// The current database, created on first use from getMetDataFileName().
// Owned by the library; do not delete it. Never null: an unusable data file
// gives a database whose IsValid() is false. Only std::bad_alloc is thrown,
// and then no database is current.
METDB_EXPORT BMTFile* getMetDatabase();

// Deletes the current database (which saves its directory when needed) and
// makes a new one on name (null: ""), of which at most 260 characters are
// kept. Returns the new database, owned by the library, valid or not. Any
// pointer to the old database is dangling afterwards; name itself may point
// into it.
METDB_EXPORT BMTFile* setMetDatabase(const char* name);

// The same, opening the new database with the access given: kReadOnly for
// a process that only reads (see BMTFile::Access).
METDB_EXPORT BMTFile* setMetDatabase(const char* name, BMTFile::Access access);

// Deletes the current database, if there is one (which saves its directory
// when needed), and makes none current: a process that is done with a
// database releases its files this way without opening another. Any
// pointer to the old database is dangling afterwards. The data file name
// stays, so the next getMetDatabase opens it again. Creates no file.
METDB_EXPORT void closeMetDatabase();

// Makes database, which stays the caller's, the current database, so that
// selections and iterators resolve against it: a process that keeps
// several databases open makes the one it works on current before it walks
// a selection. The library's own current database, if there is one, is
// deleted first (saving its directory when needed), as setMetDatabase does.
// The library never deletes a lent database: setMetDatabase,
// closeMetDatabase, a later lendMetDatabase and unloading only forget it,
// and its owner lends null before it deletes it. null forgets a lent
// current database (none is current then, and the next getMetDatabase
// opens the data file name again) and leaves the library's own. Lending
// the current database changes nothing. The data file name stays as it
// was.
METDB_EXPORT void lendMetDatabase(BMTFile* database);

// Why the last operation of the library that failed in this process failed,
// as a phrase such as "cannot open \"x.bmt\": Permission denied" or
// "another process replaced the data file ...". Every writing operation and
// every opening of a database empties it when it starts, so right after one
// of them it is empty exactly when that operation did its work. The text
// stays valid until the next call into the library.
METDB_EXPORT const char* getMetLastError();

// The current database's data file name: the configured one until the first
// setMetDatabase, then the last name set. The storage stays valid while the
// library is loaded. Creates no database.
METDB_EXPORT const char* getMetDataFileName();

// The library's version, "1.10".
METDB_EXPORT VELDstring getMetDLLVersion();

#endif  // METDB_MODULE_CURRENTDATABASE_H_
