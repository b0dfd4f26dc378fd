#ifndef METDB_SELECTION_TLOCATIONITERATOR_H_
#define METDB_SELECTION_TLOCATIONITERATOR_H_

#include <vector>

#include "common/LocationData.h"
#include "directory/Continent.h"
#include "directory/Country.h"
#include "directory/Directory.h"
#include "directory/Location.h"
#include "directory/State.h"
#include "platform/Export.h"
#include "platform/File.h"
#include "selection/TLocationSelection.h"

// The record indices that a selection selects in the current database, in
// directory order, and a position in that list with the record found there.
//
// The list is resolved once, by the constructor, and kept in a temporary
// index file of 32-bit signed little-endian record indices (position i at
// byte 4 * i, no header); only the current record is held in memory, however
// long the list. The file is made exclusively as "TQ_" and six characters in
// the process's current directory, or, when that directory cannot take it,
// in the system's temporary folder (platform::tempFolder()). The iterator
// owns the file and removes it when destroyed; it cannot be copied, so that
// no two iterators ever share one.
//
// The list is fixed once built: later changes to the selection or to the
// database do not change it. Records are read through whichever database is
// current when a navigation operation runs. Not thread-safe.
class METDB_EXPORT TLocationIterator {
 public:
  // Capacity of tempFileName, its terminating NUL included.
  static constexpr int kFileNameSize = 260;

  // Resolves selection (not null, not owned; it must live as long as the
  // iterator is used) against the current database's directory, writing the
  // index file, and stands on the first entry with its record in locData;
  // for an empty list at position 0 with locData as constructed. The current
  // database is created when there is none yet.
  //
  // When the index file can be neither created nor written (with its
  // absolute path in at most 259 characters) in either folder, shows the
  // fatal notice "Fatal Error: Cannot create a new temporary file." captioned
  // "TARVELIN" and ends the process with exit status 1. A failure raised by
  // the database while the first record is loaded (a BMTFile* when the data
  // file cannot be opened) passes out of the constructor, after the index
  // file has been removed.
  explicit TLocationIterator(TLocationSelection* selection);
  // Closes and removes the index file. The selection is not touched.
  ~TLocationIterator();

  TLocationIterator(const TLocationIterator&) = delete;
  TLocationIterator& operator=(const TLocationIterator&) = delete;

  // The resolution walk: matches the selection's tree level by level
  // against the current directory and appends the record index of every
  // selected location that validLocation admits. At each level a cursor
  // runs forward through the directory's array and stops on the first
  // element whose name equals the entry's ignoring case, without passing
  // it: an entry named like the one before it matches the same element
  // again, and an entry that stands before the previous match in directory
  // order is not found, nor is anything after an entry that is not found.
  // Called by the constructor; once the list is built, this and the four
  // add operations below append nothing.
  void writeIndexStream();
  // Every country of continent, in array order.
  void addContinentIndices(Continent* continent);
  // Every state of country, in array order.
  void addCountryIndices(Country* country);
  // Every location of state, in array order.
  void addStateIndices(State* state);
  // Appends location's record index and counts it, when validLocation
  // admits it.
  void addLocationIndex(Location* location);

  // Whether location passes the selection's limits, read at each call: its
  // level is at most levelLimit; and, when useLatLonLimits is set,
  // minLatitude <= latitude, latitude not above maxLatitude, and likewise
  // for longitude (both bounds inclusive, no wrap-around at 180 degrees, a
  // coordinate that is not a number fails).
  bool validLocation(Location* location) const;

  // True when the list holds no entry.
  bool isEmpty() const;
  // The number of entries in the list; no file access.
  long getNumLocations() const;

  // Goes to position 0 and, unless the list is empty, loads its record.
  // The index file is read afresh from there, in blocks of 16384 entries as
  // the moves need them.
  void first();
  // Each of these moves and loads the record there, returning true, when
  // the target is an entry of the list; otherwise returns false and changes
  // nothing (every move on an empty list fails). A failure raised by the
  // database's getLocationData passes out after position has moved.
  bool next();
  bool previous();
  bool at(long newPosition);

  // Reads the record index at listPosition from the index file into
  // recordIndex and has the current database read that record into locData.
  // Does not change position or test listPosition. When the index cannot be
  // read, recordIndex becomes -1 and locData an empty record (all bytes
  // zero), so that a stale record never stands for another position.
  void fillLocData(long listPosition);

  // The selection the list was built from; not owned.
  TLocationSelection* selection;
  // The absolute path of the index file.
  char tempFileName[kFileNameSize];
  // The index file: written while the list is built, read afterwards.
  platform::File indexStream;
  // The record at position (as constructed until one is loaded).
  LocationData locData;
  // The current position in the list, 0-based.
  long position;
  // The record index read at position.
  long recordIndex;
  // The number of entries in the list.
  long numLocations;

 private:
  // Makes the index file in folder ("" for the current directory) and
  // writes the list into it. False, with no file left behind and the list
  // empty, when the file cannot be created there, its absolute path does not
  // fit tempFileName, or a write fails.
  bool buildIn(const char* folder);
  // The steps of writeIndexStream below a continent and a country entry
  // whose selectAll is false: chain matched against the element's children.
  void addNamedCountries(Directory* directory, Continent* continent, TLocList* chain);
  void addNamedStates(Directory* directory, Country* country, TLocList* chain);
  // Writes the buffered indices to the end of the file.
  void flushBuffer();
  // Closes and removes the index file, if any, and forgets its name.
  void discardFile();

  // Bytes of the index file from offset bufferOffset_ on: while building,
  // the encoded indices not yet written (bufferOffset_ is then what was
  // written so far); afterwards, a window of the file read at once, so that
  // a walk makes one read per block of indices instead of one per move.
  std::vector<unsigned char> buffer_;
  long bufferOffset_ = 0;
  bool building_ = false;
  bool writeFailed_ = false;
};

#endif  // METDB_SELECTION_TLOCATIONITERATOR_H_
