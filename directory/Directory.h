#ifndef METDB_DIRECTORY_DIRECTORY_H_
#define METDB_DIRECTORY_DIRECTORY_H_

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "common/LocationData.h"
#include "directory/Continent.h"
#include "directory/Country.h"
#include "directory/Location.h"
#include "directory/State.h"
#include "directory/TISArrayAsVector.h"
#include "directory/VELDstring.h"
#include "platform/Export.h"

// The in-memory index of one data file: continents > countries > states >
// locations, each level a sorted array owned by its parent; a flat location
// list that refers to every Location of the hierarchy once, in Location
// order, without owning it; and a cursor that walks the hierarchy one
// location at a time.
//
// The owning database reads and sets the public members directly (the
// continent list, the cursor, fileName, changed). Not copyable. Not thread
// safe: one thread at a time. Failures show in results; nothing is thrown
// but std::bad_alloc.
//
// Invariants kept by every operation: each Location reachable through the
// hierarchy is in locList exactly once and locList holds nothing else;
// locationCount equals locList->count(); when one of curCountries,
// curStates, curLocations is null, those below it are null too.
class METDB_EXPORT Directory {
 public:
  // An empty directory for the directory file fileName (null: ""). Records
  // the process's current drive and directory as its home; every file
  // operation later runs there. Touches no file.
  explicit Directory(const char* fileName);
  // Destroys the hierarchy and both lists. Never writes the file.
  virtual ~Directory();

  Directory(const Directory&) = delete;
  Directory& operator=(const Directory&) = delete;

  // ---- Whole directory ----

  // True when the continent list has no element.
  bool IsEmpty() const;
  // The continent list itself (owned by the directory).
  TISArrayAsVector<Continent>* getContinents() const;
  // The child array of the given record, exactly as its own accessor gives
  // it; null for a null record.
  TISArrayAsVector<Country>* getCountries(Continent* continent) const;
  TISArrayAsVector<State>* getStates(Country* country) const;
  TISArrayAsVector<Location>* getLocations(State* state) const;

  // ---- Look-ups by name ----

  // Each scans its array from position 0 and returns the first element whose
  // name equals name ignoring case, or null (also for a null array). The
  // element stays owned by the directory. A Location is matched by its name
  // alone.
  Continent* getContinent(const VELDstring& name) const;
  Country* getCountry(const VELDstring& name, TISArrayAsVector<Country>* countries) const;
  State* getState(const VELDstring& name, TISArrayAsVector<State>* states) const;
  Location* getLocation(const VELDstring& name, TISArrayAsVector<Location>* locations) const;

  // ---- Cursor ----

  // Puts the cursor on the first location of the hierarchy. On an empty
  // directory, or where the first continent has no country or the first
  // country no state, the cursor holds no current location.
  void first();
  // Moves the cursor one location on in hierarchy order and returns true;
  // after the last location it goes back to the first and returns false.
  // Entering an empty record is one step without a current location. On an
  // empty directory it returns true and changes nothing.
  bool next();
  // The record index of the current location, or -1 when there is none.
  long getLocationIndex() const;
  // Sets the record index of the current location; nothing when there is
  // none. Does not set changed.
  void setLocationIndex(long index);
  // The name of the current location (valid while it lives), or null.
  const char* getLocationName() const;
  // The location array of the state at statePosition in curStates, or null
  // when curStates is null or the position is outside it.
  TISArrayAsVector<Location>* getLocationList(int statePosition);

  // ---- Location list ----

  // The element of locList at position, or null outside 0..locationCount-1.
  Location* getLocation(int position);
  // Numbers every element of locList (its locListIndex) by its position.
  void setLocListIndices();

  // ---- Editing ----

  // Appends newRec as a location with record index index. Meant for filling
  // an empty directory from records in hierarchy order: oldRec is the
  // previous record of the sequence (its names empty before the first call),
  // which the caller keeps; a new continent, country or state is opened
  // whenever the name differs from oldRec's ignoring case (a new continent
  // always opens a new country, a new country a new state), and also when
  // no group of that level is open yet. Names are read no further than
  // their fields. Afterwards oldRec holds newRec's four names; nothing else
  // of oldRec is touched. Sets changed. The cursor is not moved. The new
  // Location, and any group opened for it, belong to the directory.
  void addOrderedEntry(const LocationData& newRec, LocationData& oldRec, long index);
  // Removes the current location from its state (deleting it) and from
  // locList, removes every level that this leaves empty, and moves the
  // cursor to what followed. Returns false when there is no current location
  // (nothing changes), or when a following entry remains at some level; true
  // when the last continent of the list was removed, leaving the cursor
  // unset. Sets changed when something was removed.
  bool deleteEntry();
  // Removes every location for which doomed(location) is true, as
  // deleteEntry would one by one, in one pass over the directory whatever
  // their number (deleteEntry closes the location list's gap each time,
  // which costs time in proportion to the directory's size per call).
  // Every level left empty goes too; the cursor is then put on the first
  // location, as first() does. doomed sees each location once, in location
  // list order, and must not change the directory. Returns how many were
  // removed; sets changed when any were.
  long deleteLocations(const std::function<bool(const Location&)>& doomed);

  // ---- Directory file ----
  // read, write, IsFileEmpty, getTimeStamp and clearDirFile each run with the
  // directory's home current (WorkingDirectory) and open the file by
  // fileName. None of them changes changed or the cursor.

  // Fills the directory from its file. Accepts LF and CR LF line ends.
  // Returns false, adding nothing, when the file cannot be opened or is
  // damaged in any way (a count that is unreadable or negative, a missing
  // line, a numbers line that does not parse, a reference outside the
  // location list or given twice, fewer references than the count, a
  // location that no state refers to); the directory then stays as it was,
  // which for the empty directory that read is meant for is empty. A caller
  // may ignore the result and rebuild from the data file when IsEmpty().
  bool read();
  // Writes the directory to its file, replacing it atomically: the text goes
  // to a new temporary file in the same folder, which is synced and renamed
  // over fileName, so a failed or interrupted write leaves the old file
  // whole. Lines end in LF. Renumbers locListIndex of every location first,
  // whatever happens next. Returns false when the file could not be
  // replaced (the old one stays, no temporary file remains), and when a
  // name holds CR or LF, which this line-based file cannot store: then no
  // file is written and the old one is removed, so that the next opening
  // rebuilds from the data file instead of trusting a stale directory.
  bool write();

  // The parts of read, each reading one level from in into the given
  // record. readLocList adds the locations to locList in the order read and
  // keeps that order for readLocations, whose references are positions in
  // it; readLocations takes the references of one state from one line. Each
  // returns false when its part is damaged, leaving in at an unspecified
  // place; the records already added stay (read itself undoes them).
  // Locations that readLocList made and no state has taken yet belong to
  // the directory and are deleted with it.
  bool readLocList(std::istream& in);
  bool readCountries(std::istream& in, Continent* continent);
  bool readStates(std::istream& in, Country* country);
  bool readLocations(std::istream& in, State* state);

  // The parts of write, each writing one level of the given array to out.
  // Names are written as held (one holding CR or LF makes the write that
  // runs them discard its file); failures show in out's state.
  void writeLocList(std::ostream& out);
  void writeCountries(std::ostream& out, TISArrayAsVector<Country>* countries);
  void writeStates(std::ostream& out, TISArrayAsVector<State>* states);
  void writeLocations(std::ostream& out, TISArrayAsVector<Location>* locations);

  // True when the directory file cannot be opened or has length 0.
  bool IsFileEmpty() const;
  // The file's last-write time as a packed MS-DOS date and time (UTC), or 0
  // when the file cannot be opened.
  std::uint32_t getTimeStamp() const;
  // Removes the directory file; a failure (a missing file) is ignored.
  void clearDirFile();

  // The full path of the home directory, of any length (homeDir holds it
  // only when it fits).
  const std::string& homePath() const { return homePath_; }

  // ---- Members that the owning database reads and sets ----

  std::string fileName;                      // the directory file
  TISArrayAsVector<Continent>* continents;   // owned, with its records
  TISArrayAsVector<Country>* curCountries;   // of the current continent; not owned
  TISArrayAsVector<State>* curStates;        // of the current country; not owned
  TISArrayAsVector<Location>* curLocations;  // of the current state; not owned
  TISArrayAsVector<Location>* locList;       // owned array; never owns its elements
  Continent* lastContinent;                  // opened last by addOrderedEntry, or null
  Country* lastCountry;                      // opened last by addOrderedEntry, or null
  State* lastState;                          // opened last by addOrderedEntry, or null
  Location* lastLocation;                    // added last by addOrderedEntry, or null
  int continentPos;    // cursor position in continents, compared with its count as unsigned
  int countryPos;      // cursor position in curCountries, likewise
  int statePos;        // cursor position in curStates, likewise
  int locationPos;     // cursor position in curLocations, likewise
  long locationCount;  // number of locations
  char homeDir[260];   // home directory when its path fits, else ""
  int homeDrive;       // home drive; always 0 here
  bool changed;        // set by addOrderedEntry and deleteEntry, never reset

 private:
  // Forgets the read order of readLocList, deleting the locations read that
  // no state took.
  void discardReadOrder();
  // Moves the contents of other (a directory just read) into this one.
  void takeContents(Directory* other);
  // Write a name (and a line end), noting a name that holds CR or LF.
  void putName(std::ostream& out, const std::string& name);
  void putNameLine(std::ostream& out, const std::string& name);

  std::string homePath_;
  // Locations in the order readLocList read them, and which of them a state
  // has taken; only while a read is under way.
  std::vector<Location*> readOrder_;
  std::vector<bool> taken_;
  // Set when the write parts wrote a name holding CR or LF.
  bool lineBreakWritten_ = false;
  // The references of the state that readLocations is reading.
  std::vector<std::size_t> statePositions_;
};

#endif  // METDB_DIRECTORY_DIRECTORY_H_
