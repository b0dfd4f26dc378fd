#include "selection/TLocationIterator.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "datafile/BMTFile.h"
#include "directory/Directory.h"
#include "directory/TISArrayAsVector.h"
#include "directory/VELDstring.h"
#include "module/CurrentDatabase.h"
#include "platform/FileOps.h"
#include "platform/Notify.h"
#include "platform/TempFile.h"

namespace {

// Bytes of one record index in the index file.
constexpr long kIndexSize = 4;
// Indices gathered before a write: 16384 of them, 64 KiB.
constexpr std::size_t kBufferBytes = 64 * 1024;

// An entry's name: its text up to the NUL, at most 79 characters even when a
// host filled the field to the end.
VELDstring entryName(const TLocList* entry) {
  const char* end = std::find(entry->name, entry->name + (TLocList::kNameSize - 1), '\0');
  return VELDstring(std::string(entry->name, end));
}

// Walks one level's chain against a directory array with a cursor that stops
// on a match and stays there, calling matched(element, entry) for each entry
// found. Once the cursor reaches the end no later entry can match.
template <class T, class Matched>
void walkChain(TISArrayAsVector<T>* array, TLocList* chain, Matched matched) {
  if (array == nullptr) return;
  const unsigned count = array->count();
  unsigned cursor = 0;
  for (TLocList* entry = chain; entry != nullptr; entry = entry->nextEntry) {
    const VELDstring name = entryName(entry);
    while (cursor < count && !(static_cast<const VELDstring&>(*(*array)[cursor]) == name)) {
      ++cursor;
    }
    if (cursor == count) return;
    matched((*array)[cursor], entry);
  }
}

void encode(long value, unsigned char* out) {
  // Two's complement of the low 32 bits, least significant byte first.
  std::uint32_t v = static_cast<std::uint32_t>(value);
  out[0] = static_cast<unsigned char>(v);
  out[1] = static_cast<unsigned char>(v >> 8);
  out[2] = static_cast<unsigned char>(v >> 16);
  out[3] = static_cast<unsigned char>(v >> 24);
}

long decode(const unsigned char* in) {
  std::uint32_t v = static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
                    static_cast<std::uint32_t>(in[2]) << 16 |
                    static_cast<std::uint32_t>(in[3]) << 24;
  return static_cast<long>(static_cast<std::int32_t>(v));
}

// The index file's bytes of listPosition, read through the window of
// window.size() bytes from offset windowStart (refilled as needed); null when
// the file does not hold them.
const unsigned char* indexBytes(platform::File& file, std::vector<unsigned char>& window,
                                long& windowStart, long listPosition) {
  if (listPosition < 0 || listPosition > LONG_MAX / kIndexSize - 1) return nullptr;
  long offset = listPosition * kIndexSize;
  long windowEnd = windowStart + static_cast<long>(window.size());
  if (offset < windowStart || offset + kIndexSize > windowEnd) {
    // A walk backwards gets the window that ends at its position.
    long start = offset < windowStart
                     ? std::max(0L, offset + kIndexSize - static_cast<long>(kBufferBytes))
                     : offset;
    window.resize(kBufferBytes);
    long got = file.readAt(start, window.data(), window.size());
    window.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
    windowStart = start;
    if (offset + kIndexSize > windowStart + static_cast<long>(window.size())) return nullptr;
  }
  return &window[static_cast<std::size_t>(offset - windowStart)];
}

}  // namespace

TLocationIterator::TLocationIterator(TLocationSelection* selection)
    : selection(selection),
      tempFileName{},
      indexStream(),
      locData(),
      position(0),
      recordIndex(0),
      numLocations(0) {
  // The current directory first; the system's temporary folder when the
  // current one is gone, full or otherwise refuses the file.
  if (!buildIn("") && !buildIn(platform::tempFolder().c_str())) {
    platform::fatalExit("TARVELIN", "Fatal Error: Cannot create a new temporary file.", 1);
  }
  try {
    first();
  } catch (...) {
    // The destructor does not run for an object whose constructor throws.
    discardFile();
    throw;
  }
}

TLocationIterator::~TLocationIterator() { discardFile(); }

bool TLocationIterator::buildIn(const char* folder) {
  std::string path;
  platform::File file;
  if (!platform::createTempFile(folder, &path, &file)) return false;
  // The name is kept absolute so that the file is still found (and removed)
  // after the host changes its current directory.
  std::string absolute = platform::absolutePath(path);
  if (absolute.empty() || absolute[0] != '/' ||
      absolute.size() >= static_cast<std::size_t>(kFileNameSize)) {
    file.close();
    platform::removeFile(path.c_str());
    return false;
  }
  std::memcpy(tempFileName, absolute.c_str(), absolute.size() + 1);
  indexStream = std::move(file);

  numLocations = 0;
  bufferOffset_ = 0;
  writeFailed_ = false;
  building_ = true;
  try {
    buffer_.reserve(kBufferBytes);
    writeIndexStream();
    flushBuffer();
  } catch (...) {
    building_ = false;
    discardFile();
    throw;
  }
  building_ = false;
  buffer_.clear();
  if (writeFailed_) {
    discardFile();
    numLocations = 0;
    return false;
  }
  return true;
}

void TLocationIterator::flushBuffer() {
  if (buffer_.empty()) return;
  if (!writeFailed_ && indexStream.writeAt(bufferOffset_, buffer_.data(), buffer_.size())) {
    bufferOffset_ += static_cast<long>(buffer_.size());
  } else {
    writeFailed_ = true;
  }
  buffer_.clear();
}

void TLocationIterator::discardFile() {
  indexStream.close();
  if (tempFileName[0] != '\0') platform::removeFile(tempFileName);
  tempFileName[0] = '\0';
}

void TLocationIterator::writeIndexStream() {
  if (!building_) return;
  BMTFile* database = getMetDatabase();
  if (database == nullptr) return;
  Directory* directory = database->directory;
  walkChain(directory->getContinents(), selection->continentList,
            [&](Continent* continent, TLocList* entry) {
              if (entry->selectAll) {
                addContinentIndices(continent);
              } else {
                addNamedCountries(directory, continent, entry->subList);
              }
            });
}

void TLocationIterator::addNamedCountries(Directory* directory, Continent* continent,
                                          TLocList* chain) {
  walkChain(directory->getCountries(continent), chain, [&](Country* country, TLocList* entry) {
    if (entry->selectAll) {
      addCountryIndices(country);
    } else {
      addNamedStates(directory, country, entry->subList);
    }
  });
}

void TLocationIterator::addNamedStates(Directory* directory, Country* country, TLocList* chain) {
  walkChain(directory->getStates(country), chain, [&](State* state, TLocList* entry) {
    if (entry->selectAll) {
      addStateIndices(state);
    } else {
      // A location entry's own selectAll and sub-list mean nothing.
      walkChain(directory->getLocations(state), entry->subList,
                [&](Location* location, TLocList*) { addLocationIndex(location); });
    }
  });
}

void TLocationIterator::addContinentIndices(Continent* continent) {
  if (continent == nullptr) return;
  TISArrayAsVector<Country>* countries = continent->getCountries();
  for (unsigned i = 0; i < countries->count(); ++i) addCountryIndices((*countries)[i]);
}

void TLocationIterator::addCountryIndices(Country* country) {
  if (country == nullptr) return;
  TISArrayAsVector<State>* states = country->getStates();
  for (unsigned i = 0; i < states->count(); ++i) addStateIndices((*states)[i]);
}

void TLocationIterator::addStateIndices(State* state) {
  if (state == nullptr) return;
  TISArrayAsVector<Location>* locations = state->getLocations();
  for (unsigned i = 0; i < locations->count(); ++i) addLocationIndex((*locations)[i]);
}

void TLocationIterator::addLocationIndex(Location* location) {
  if (!building_ || location == nullptr || !validLocation(location)) return;
  unsigned char bytes[kIndexSize];
  encode(location->locationIndex, bytes);
  buffer_.insert(buffer_.end(), bytes, bytes + kIndexSize);
  ++numLocations;
  if (buffer_.size() >= kBufferBytes) flushBuffer();
}

bool TLocationIterator::validLocation(Location* location) const {
  if (static_cast<int>(location->level) > selection->levelLimit) return false;
  if (!selection->useLatLonLimits) return true;
  // Written so that a coordinate that is not a number fails.
  if (location->latitude > selection->maxLatitude ||
      !(location->latitude >= selection->minLatitude))
    return false;
  if (location->longitude > selection->maxLongitude ||
      !(location->longitude >= selection->minLongitude))
    return false;
  return true;
}

bool TLocationIterator::isEmpty() const { return getNumLocations() == 0; }

long TLocationIterator::getNumLocations() const { return numLocations; }

void TLocationIterator::first() {
  position = 0;
  // A walk from the start reads the index file afresh.
  buffer_.clear();
  if (!isEmpty()) fillLocData(0);
}

bool TLocationIterator::next() {
  if (position >= numLocations - 1) return false;
  ++position;
  fillLocData(position);
  return true;
}

bool TLocationIterator::previous() {
  if (position <= 0) return false;
  --position;
  fillLocData(position);
  return true;
}

bool TLocationIterator::at(long newPosition) {
  if (newPosition < 0 || newPosition >= numLocations) return false;
  position = newPosition;
  fillLocData(position);
  return true;
}

void TLocationIterator::fillLocData(long listPosition) {
  BMTFile* database = getMetDatabase();
  const unsigned char* bytes =
      database != nullptr ? indexBytes(indexStream, buffer_, bufferOffset_, listPosition) : nullptr;
  if (bytes == nullptr) {
    recordIndex = -1;
    std::memset(static_cast<void*>(&locData), 0, sizeof locData);
    return;
  }
  recordIndex = decode(bytes);
  database->getLocationData(recordIndex, locData);
}
