// The directory file: Directory's read, write and their per-level parts,
// and the file's length, time stamp and removal.
//
// Section 1 lists every location as a name line and a numbers line
// ("%.2f %.2f %d %ld"); section 2 nests continents, countries and states,
// each level a count line followed by its entries, and gives each state's
// locations as one line of positions in section 1, each followed by a space.
#include <charconv>
#include <climits>
#include <istream>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "common/WorkingDirectory.h"
#include "directory/Directory.h"
#include "directory/FileBuffer.h"
#include "directory/TextScanner.h"
#include "platform/DurableReplacement.h"
#include "platform/File.h"
#include "platform/FileHandle.h"
#include "platform/FileOps.h"

namespace {

// Longest name kept when reading a name line.
constexpr std::size_t kShortName = 20;  // continents, locations
constexpr std::size_t kLongName = 30;   // countries, states
// Longest numbers line looked at.
constexpr std::size_t kNumbersLine = 254;
// Buffer of the file streams: large enough that reading and writing cost a
// system call per megabyte, not per line.
constexpr std::size_t kBufferSize = 1 << 20;

// A count line: a non-negative number that fits an int; the rest of its
// line is skipped.
bool readCount(TextScanner* scanner, unsigned* count) {
  long long value = 0;
  if (!scanner->readInteger(&value) || value < 0 || value > INT_MAX) return false;
  scanner->skipLine();
  *count = static_cast<unsigned>(value);
  return true;
}

// A name line, of which the first maxChars characters are kept. A NUL byte
// cannot be part of a name: a file holding one is not a directory file.
bool readName(TextScanner* scanner, std::string* name, std::size_t maxChars) {
  return scanner->readLine(name, maxChars) && name->find('\0') == std::string::npos;
}

// The helpers below write a number at p, leaving the last byte before end
// for a separator; a number that does not fit writes nothing (the buffers
// are sized so that none fails).
template <class Integer>
char* putInteger(char* p, char* end, Integer value) {
  std::to_chars_result r = std::to_chars(p, end - 1, value);
  return r.ec == std::errc() ? r.ptr : p;
}

// "%.2f" of the value widened to double. to_chars formats as printf does in
// the C locale, whatever locale the host has set.
char* putFixed2(char* p, char* end, float value) {
  std::to_chars_result r =
      std::to_chars(p, end - 1, static_cast<double>(value), std::chars_format::fixed, 2);
  return r.ec == std::errc() ? r.ptr : p;
}

// Puts c at p unless p is end.
char* putChar(char* p, char* end, char c) {
  if (p != end) *p++ = c;
  return p;
}

void putCountLine(std::ostream& out, unsigned long count) {
  char line[24];
  char* end = line + sizeof line;
  char* p = putChar(putInteger(line, end, count), end, '\n');
  out.write(line, p - line);
}

bool hasLineBreak(const std::string& name) {
  return name.find_first_of("\r\n") != std::string::npos;
}

// True when some name of the hierarchy holds CR or LF.
bool anyLineBreak(TISArrayAsVector<Continent>* continents) {
  for (unsigned i = 0; i < continents->count(); ++i) {
    Continent* continent = (*continents)[i];
    if (hasLineBreak(*continent)) return true;
    TISArrayAsVector<Country>* countries = continent->getCountries();
    for (unsigned j = 0; j < countries->count(); ++j) {
      Country* country = (*countries)[j];
      if (hasLineBreak(*country)) return true;
      TISArrayAsVector<State>* states = country->getStates();
      for (unsigned k = 0; k < states->count(); ++k) {
        State* state = (*states)[k];
        if (hasLineBreak(*state)) return true;
        TISArrayAsVector<Location>* locations = state->getLocations();
        for (unsigned m = 0; m < locations->count(); ++m) {
          if (hasLineBreak(*(*locations)[m])) return true;
        }
      }
    }
  }
  return false;
}

// How many elements ahead the writing loops ask memory for: the records
// lie scattered, and waiting for them one by one would dominate a large
// write.
constexpr unsigned kPrefetch = 8;

}  // namespace

void Directory::putName(std::ostream& out, const std::string& name) {
  if (hasLineBreak(name)) lineBreakWritten_ = true;
  out.write(name.data(), static_cast<std::streamsize>(name.size()));
}

void Directory::putNameLine(std::ostream& out, const std::string& name) {
  putName(out, name);
  out.put('\n');
}

void Directory::discardReadOrder() {
  for (std::size_t i = 0; i < readOrder_.size(); ++i) {
    if (!taken_[i]) delete readOrder_[i];
  }
  readOrder_.clear();
  taken_.clear();
}

void Directory::takeContents(Directory* other) {
  if (continents->count() == 0 && locList->count() == 0) {
    std::swap(continents, other->continents);
    std::swap(locList, other->locList);
  } else {
    for (unsigned i = 0; i < other->continents->count(); ++i) {
      continents->add((*other->continents)[i]);
    }
    other->continents->flush(false);
    for (unsigned i = 0; i < other->locList->count(); ++i) locList->add((*other->locList)[i]);
    other->locList->flush(false);
  }
  locationCount = static_cast<long>(locList->count());
  other->locationCount = 0;
  other->readOrder_.clear();
  other->taken_.clear();
}

bool Directory::read() {
  WorkingDirectory scope(homeDrive, homePath_.c_str());
  platform::File file;
  // Never through a link: one planted at the name (to another's file) would
  // make the index whatever its target says; refused, the directory is
  // rebuilt from the records and saved as a file of our own in its place.
  if (!file.open(fileName, platform::File::kReadOnlyNoLink)) return false;
  FileBuffer buffer(&file, kBufferSize);
  std::istream in(&buffer);

  // Everything is read into a directory of its own and moved here only when
  // the whole file proved sound; on damage that one takes its records with
  // it when it goes.
  Directory staging(nullptr);
  if (!staging.readLocList(in)) return false;
  TextScanner scanner(in.rdbuf());
  unsigned count = 0;
  if (!readCount(&scanner, &count)) return false;
  std::string name;
  for (unsigned i = 0; i < count; ++i) {
    if (!readName(&scanner, &name, kShortName)) return false;
    Continent* continent = new Continent(name.c_str());
    staging.continents->add(continent);
    if (!staging.readCountries(in, continent)) return false;
  }
  for (bool taken : staging.taken_) {
    if (!taken) return false;  // a location that no state refers to
  }
  if (buffer.failed()) return false;  // the file could not be read to its end
  takeContents(&staging);
  return true;
}

bool Directory::readLocList(std::istream& in) {
  discardReadOrder();
  if (!in || in.rdbuf() == nullptr) return false;
  TextScanner scanner(in.rdbuf());
  unsigned count = 0;
  if (!readCount(&scanner, &count)) return false;
  locationCount = static_cast<long>(count);
  // The count is not trusted for a reservation: a damaged one could ask for
  // gigabytes before the file runs out.
  readOrder_.reserve(count < (1u << 16) ? count : (1u << 16));
  std::string name;
  std::string numbers;
  for (unsigned i = 0; i < count; ++i) {
    float latitude = 0;
    float longitude = 0;
    int level = 0;
    long index = 0;
    if (!readName(&scanner, &name, kShortName) || !scanner.readLine(&numbers, kNumbersLine) ||
        !TextScanner::parseNumbers(numbers.data(), numbers.data() + numbers.size(), &latitude,
                                   &longitude, &level, &index)) {
      return false;
    }
    std::unique_ptr<Location> location(new Location(name.c_str()));
    location->latitude = latitude;
    location->longitude = longitude;
    location->level = static_cast<std::int8_t>(static_cast<unsigned char>(level & 0xff));
    location->locationIndex = index;
    readOrder_.push_back(location.get());
    taken_.push_back(false);
    locList->add(location.release());
  }
  return true;
}

bool Directory::readCountries(std::istream& in, Continent* continent) {
  if (continent == nullptr || !in || in.rdbuf() == nullptr) return false;
  TextScanner scanner(in.rdbuf());
  unsigned count = 0;
  if (!readCount(&scanner, &count)) return false;
  std::string name;
  for (unsigned i = 0; i < count; ++i) {
    if (!readName(&scanner, &name, kLongName)) return false;
    Country* country = new Country(name.c_str());
    continent->getCountries()->add(country);
    if (!readStates(in, country)) return false;
  }
  return true;
}

bool Directory::readStates(std::istream& in, Country* country) {
  if (country == nullptr || !in || in.rdbuf() == nullptr) return false;
  TextScanner scanner(in.rdbuf());
  unsigned count = 0;
  if (!readCount(&scanner, &count)) return false;
  std::string name;
  for (unsigned i = 0; i < count; ++i) {
    if (!readName(&scanner, &name, kLongName)) return false;
    State* state = new State(name.c_str());
    country->getStates()->add(state);
    if (!readLocations(in, state)) return false;
  }
  return true;
}

bool Directory::readLocations(std::istream& in, State* state) {
  if (state == nullptr || !in || in.rdbuf() == nullptr) return false;
  TextScanner scanner(in.rdbuf());
  unsigned count = 0;
  if (!readCount(&scanner, &count)) return false;
  // References are positions in the order section 1 was read, which is the
  // order it was written in, even where two rounded locations sort the other
  // way round in locList.
  //
  // The locations of a state lie anywhere in memory, and so do their
  // entries in readOrder_. The line is parsed first; then tight loops look
  // them up, ask for the locations and then their names (prefetch) before
  // any is compared: in a large directory the waits for memory overlap
  // instead of coming one after the other.
  statePositions_.clear();
  for (unsigned i = 0; i < count; ++i) {
    long long p = 0;
    if (!scanner.readIntegerOnLine(&p) || p < 0 ||
        static_cast<unsigned long long>(p) >= readOrder_.size()) {
      return false;
    }
    statePositions_.push_back(static_cast<std::size_t>(p));
  }
  scanner.skipLine();
  for (std::size_t p : statePositions_) __builtin_prefetch(&readOrder_[p]);
  for (std::size_t i = 0; i < statePositions_.size(); ++i) {
    std::size_t p = statePositions_[i];
    if (taken_[p]) {  // given twice: those marked here go back to the directory
      for (std::size_t j = 0; j < i; ++j) taken_[statePositions_[j]] = false;
      return false;
    }
    taken_[p] = true;
    __builtin_prefetch(readOrder_[p]);
  }
  for (std::size_t p : statePositions_) __builtin_prefetch(readOrder_[p]->data());
  TISArrayAsVector<Location>* locations = state->getLocations();
  for (std::size_t p : statePositions_) locations->add(readOrder_[p]);
  return true;
}

bool Directory::write() {
  setLocListIndices();
  WorkingDirectory scope(homeDrive, homePath_.c_str());
  lineBreakWritten_ = false;
  platform::DurableReplacement replacement(fileName);
  if (!replacement.begin()) {
    // No file can be written; an old one that this directory could not be
    // written as still must not be trusted.
    if (anyLineBreak(continents)) platform::removeFile(fileName.c_str());
    return false;
  }
  bool ok;
  {
    FileBuffer buffer(&replacement.file(), kBufferSize);
    std::ostream out(&buffer);
    writeLocList(out);
    putCountLine(out, continents->count());
    for (unsigned i = 0; i < continents->count(); ++i) {
      Continent* continent = (*continents)[i];
      putNameLine(out, *continent);
      writeCountries(out, continent->getCountries());
    }
    out.flush();
    ok = out.good() && !buffer.failed();
  }
  if (lineBreakWritten_) {
    // A name broke its line: the file would read back wrong, and the old
    // one no longer describes this directory.
    lineBreakWritten_ = false;
    replacement.abandon();
    platform::removeFile(fileName.c_str());
    return false;
  }
  if (!ok) {
    replacement.abandon();
    return false;
  }
  // A failed folder sync leaves the new file in place, but not durably:
  // reported as a failure all the same.
  return replacement.commit();
}

void Directory::writeLocList(std::ostream& out) {
  putCountLine(out, locList->count());
  // Two fixed-point floats of at most 47 characters each, a level, an index.
  char line[160];
  char* end = line + sizeof line;
  unsigned count = locList->count();
  for (unsigned p = 0; p < count; ++p) {
    if (p + kPrefetch < count) __builtin_prefetch((*locList)[p + kPrefetch]);
    if (p + kPrefetch / 2 < count) __builtin_prefetch((*locList)[p + kPrefetch / 2]->data());
    Location* location = (*locList)[p];
    putName(out, *location);
    char* q = putChar(line, end, '\n');
    q = putChar(putFixed2(q, end, location->latitude), end, ' ');
    q = putChar(putFixed2(q, end, location->longitude), end, ' ');
    q = putChar(putInteger(q, end, static_cast<int>(location->level)), end, ' ');
    q = putChar(putInteger(q, end, location->locationIndex), end, '\n');
    out.write(line, q - line);
  }
}

void Directory::writeCountries(std::ostream& out, TISArrayAsVector<Country>* countries) {
  unsigned count = countries != nullptr ? countries->count() : 0;
  putCountLine(out, count);
  for (unsigned i = 0; i < count; ++i) {
    Country* country = (*countries)[i];
    putNameLine(out, *country);
    writeStates(out, country->getStates());
  }
}

void Directory::writeStates(std::ostream& out, TISArrayAsVector<State>* states) {
  unsigned count = states != nullptr ? states->count() : 0;
  putCountLine(out, count);
  for (unsigned i = 0; i < count; ++i) {
    State* state = (*states)[i];
    putNameLine(out, *state);
    writeLocations(out, state->getLocations());
  }
}

void Directory::writeLocations(std::ostream& out, TISArrayAsVector<Location>* locations) {
  unsigned count = locations != nullptr ? locations->count() : 0;
  putCountLine(out, count);
  char chunk[4096];
  char* end = chunk + sizeof chunk;
  char* q = chunk;
  for (unsigned i = 0; i < count; ++i) {
    if (i + kPrefetch < count) __builtin_prefetch((*locations)[i + kPrefetch]);
    if (end - q < 32) {
      out.write(chunk, q - chunk);
      q = chunk;
    }
    q = putChar(putInteger(q, end, (*locations)[i]->locListIndex), end, ' ');
  }
  q = putChar(q, end, '\n');
  out.write(chunk, q - chunk);
}

bool Directory::IsFileEmpty() const {
  WorkingDirectory scope(homeDrive, homePath_.c_str());
  platform::FileHandle handle(fileName.c_str());
  if (!handle.valid()) return true;
  return handle.length() <= 0;
}

std::uint32_t Directory::getTimeStamp() const {
  WorkingDirectory scope(homeDrive, homePath_.c_str());
  platform::FileHandle handle(fileName.c_str());
  return handle.valid() ? handle.getftime() : 0;
}

void Directory::clearDirFile() {
  WorkingDirectory scope(homeDrive, homePath_.c_str());
  platform::removeFile(fileName.c_str());
}
