#include "selection/TLocationSelection.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "datafile/BMTFile.h"
#include "directory/Directory.h"
#include "directory/FileBuffer.h"
#include "module/CurrentDatabase.h"
#include "platform/DurableReplacement.h"
#include "platform/Failure.h"
#include "platform/File.h"
#include "platform/FileOps.h"
#include "selection/TLocationIterator.h"

namespace {

const char kVersion[] = "1.10";

// Length of a field's text: up to its NUL, or its capacity less the NUL when
// a host filled the field to the end.
std::size_t fieldLength(const char* field, std::size_t size) {
  return std::find(field, field + (size - 1), '\0') - field;
}

// Stores the first size - 1 characters of text in field, NUL-terminated.
void setField(char* field, std::size_t size, const std::string& text) {
  std::size_t n = std::min(text.size(), size - 1);
  std::memcpy(field, text.data(), n);
  std::memset(field + n, 0, size - n);
}

// Reads one whole line without its line end; one CR before the LF is taken as
// part of the line end, so CR LF files read like LF files. False at end of
// input.
bool readLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool holdsLineBreak(const char* text, std::size_t length) {
  return std::find_if(text, text + length, [](char c) { return c == '\n' || c == '\r'; }) !=
         text + length;
}

// Whether every entry of the tree can be written as a line that reads back as
// the same name: no line break in it, and not one of the two marker lines.
bool namesStorable(const TLocList* list) {
  std::vector<const TLocList*> pending;
  if (list != nullptr) pending.push_back(list);
  while (!pending.empty()) {
    const TLocList* entry = pending.back();
    pending.pop_back();
    for (; entry != nullptr; entry = entry->nextEntry) {
      std::size_t n = fieldLength(entry->name, TLocList::kNameSize);
      if (holdsLineBreak(entry->name, n)) return false;
      if (n == 1 && (entry->name[0] == '<' || entry->name[0] == '>')) return false;
      if (entry->subList != nullptr) pending.push_back(entry->subList);
    }
  }
  return true;
}

VELDstring formatted(const char* format, double a, double b) {
  // Wide enough for two floats of any magnitude in %0.2f (at most 39 digits
  // before the point each).
  char text[160];
  std::snprintf(text, sizeof text, format, a, b);
  return VELDstring(text);
}

// Matches a chain against a sorted directory array, each entry sought from
// just past the element that the entry before it matched. below(element,
// entry) checks what lies under a matched entry. False at the first entry
// not found or failing below.
template <class T, class Below>
bool chainInArray(TISArrayAsVector<T>* array, TLocList* list, Below below) {
  const unsigned count = array != nullptr ? array->count() : 0;
  unsigned cursor = 0;
  for (TLocList* entry = list; entry != nullptr; entry = entry->nextEntry) {
    const VELDstring name(std::string(entry->name, fieldLength(entry->name, TLocList::kNameSize)));
    T* match = nullptr;
    while (match == nullptr && cursor < count) {
      T* element = (*array)[cursor++];
      if (static_cast<const VELDstring&>(*element) == name) match = element;
    }
    if (match == nullptr || !below(match, entry)) return false;
  }
  return true;
}

}  // namespace

TLocationSelection::TLocationSelection()
    : continentList(nullptr),
      name{},
      levelLimit(5),
      maxLatitude(90),
      minLatitude(-90),
      maxLongitude(180),
      minLongitude(-180),
      useLatLonLimits(false) {}

TLocationSelection::~TLocationSelection() { deleteList(continentList); }

void TLocationSelection::clear() {
  useLatLonLimits = false;
  levelLimit = 5;
  maxLatitude = 90;
  minLatitude = -90;
  maxLongitude = 180;
  minLongitude = -180;
  deleteList(continentList);
  continentList = nullptr;
  std::memset(name, 0, sizeof name);
}

void TLocationSelection::deleteList(TLocList*& list) {
  // Rotates each sub-list up into the chain before freeing, so that the tree
  // is taken apart in linear time with neither recursion nor extra memory,
  // however long its chains or deep its nesting.
  TLocList* entry = list;
  while (entry != nullptr) {
    if (entry->subList != nullptr) {
      TLocList* sub = entry->subList;
      entry->subList = sub->nextEntry;
      sub->nextEntry = entry;
      entry = sub;
    } else {
      TLocList* next = entry->nextEntry;
      delete entry;
      entry = next;
    }
  }
  list = nullptr;
}

TLocList* TLocationSelection::CopyList(TLocList* list) {
  // Chains are copied with a loop; sub-lists wait on a heap stack rather than
  // the call stack. Each copy is linked in as soon as it exists, so a failed
  // allocation can free the partial copy.
  struct Pending {
    const TLocList* source;
    TLocList** target;
  };
  TLocList* copy = nullptr;
  std::vector<Pending> pending;
  try {
    pending.push_back({list, &copy});
    while (!pending.empty()) {
      Pending job = pending.back();
      pending.pop_back();
      TLocList** target = job.target;
      for (const TLocList* entry = job.source; entry != nullptr; entry = entry->nextEntry) {
        TLocList* made = new TLocList(entry->name, entry->selectAll);
        *target = made;
        target = &made->nextEntry;
        if (entry->subList != nullptr) pending.push_back({entry->subList, &made->subList});
      }
    }
  } catch (...) {
    deleteList(copy);
    throw;
  }
  return copy;
}

void TLocationSelection::writeList(std::ostream& out, TLocList* list) {
  // For each sub-list being written, the entry of the level above to go on
  // with once the sub-list's ">" is out.
  std::vector<const TLocList*> resume;
  const TLocList* entry = list;
  for (;;) {
    while (entry != nullptr) {
      out.write(entry->name, fieldLength(entry->name, TLocList::kNameSize));
      out << '\n' << (entry->selectAll ? "1" : "0") << '\n';
      if (entry->subList != nullptr) {
        out << "<\n";
        resume.push_back(entry->nextEntry);
        entry = entry->subList;
      } else {
        entry = entry->nextEntry;
      }
    }
    if (resume.empty()) break;
    out << ">\n";
    entry = resume.back();
    resume.pop_back();
  }
}

void TLocationSelection::readList(std::istream& in, TLocList*& list) {
  // Each open level keeps the slot that its next entry is linked into and
  // its latest entry (null until it has one). Entries are linked as soon as
  // they are made, so everything read hangs from first and can be freed.
  struct Level {
    TLocList** link;
    TLocList* current;
  };
  TLocList* first = nullptr;
  std::vector<Level> open;
  bool complete = false;
  try {
    open.push_back({&first, nullptr});
    std::string line;
    while (readLine(in, line)) {
      Level& level = open.back();
      if (line == ">") {
        open.pop_back();
        if (open.empty()) {
          complete = true;
          break;
        }
        continue;
      }
      // "<" opens the sub-list of the latest entry; as the first line of a
      // level, where no entry can own it, it is a name.
      if (line == "<" && level.current != nullptr) {
        if (open.size() >= static_cast<std::size_t>(kMaxDepth)) break;
        TLocList* owner = level.current;
        // A second sub-list for one entry replaces the first, which would
        // otherwise be lost without being freed.
        deleteList(owner->subList);
        open.push_back({&owner->subList, nullptr});
        continue;
      }
      TLocList* entry = new TLocList();
      setField(entry->name, TLocList::kNameSize, line);
      *level.link = entry;
      level.link = &entry->nextEntry;
      level.current = entry;
      if (!readLine(in, line)) break;
      entry->selectAll = line.empty() || line[0] != '0';
    }
  } catch (...) {
    deleteList(first);
    throw;
  }
  if (!complete) {
    deleteList(first);
    in.setstate(std::ios::failbit);
    return;
  }
  if (first != nullptr) list = first;
}

int TLocationSelection::read(const char* fileName) {
  // A folder or a FIFO cannot be read as a selection file. The file opened
  // is the one checked (on its descriptor, opened without blocking), so a
  // name swapped for a FIFO after any earlier look cannot hang the read.
  if (fileName == nullptr) return 0;
  platform::File file;
  if (!file.open(fileName, platform::File::kReadOnly)) return 0;
  FileBuffer buffer(&file, 1 << 16);
  std::istream in(&buffer);
  in.imbue(std::locale::classic());

  clear();
  std::string line;
  if (!readLine(in, line)) line.clear();
  setField(name, kNameSize, line);
  if (!readLine(in, line) || line != kVersion) return -1;

  readList(in, continentList);
  if (in.fail()) {
    clear();
    return -1;
  }

  // Each limit is taken only when it parses, so that the ones from the first
  // bad one on keep their defaults (a failed extraction would store 0).
  std::int32_t level;
  float maxLat, minLat, maxLon, minLon;
  bool useLimits;
  if (!(in >> level)) return 1;
  levelLimit = level;
  if (!(in >> maxLat)) return 1;
  maxLatitude = maxLat;
  if (!(in >> minLat)) return 1;
  minLatitude = minLat;
  if (!(in >> maxLon)) return 1;
  maxLongitude = maxLon;
  if (!(in >> minLon)) return 1;
  minLongitude = minLon;
  if (!(in >> useLimits)) return 1;
  useLatLonLimits = useLimits;
  return 1;
}

int TLocationSelection::write(const char* fileName) {
  platform::clearFailure();
  if (fileName == nullptr || *fileName == '\0') return 0;
  std::size_t nameLength = fieldLength(name, kNameSize);
  if (holdsLineBreak(name, nameLength) || !namesStorable(continentList)) return 0;

  // The text goes to a fresh file beside the target that replaces it
  // durably only when complete: a failure part way (a full disk) or a power
  // cut leaves the old file, and never a truncated one.
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out.write(name, static_cast<std::streamsize>(nameLength));
  out << '\n' << kVersion << '\n';
  if (continentList != nullptr) writeList(out, continentList);
  out << ">\n";
  // Default float format: six significant digits, as %g.
  out << levelLimit << ' ' << maxLatitude << ' ' << minLatitude << ' ' << maxLongitude << ' '
      << minLongitude << ' ' << (useLatLonLimits ? 1 : 0);
  const std::string text = out.str();
  platform::DurableReplacement replacement(fileName);
  if (!replacement.begin() || !replacement.append(text.data(), text.size())) return 0;
  return replacement.commit() ? 1 : 0;
}

VELDstring TLocationSelection::getLevelLimitString() {
  char text[32];
  std::snprintf(text, sizeof text, "- Level Limit: %d", static_cast<int>(levelLimit));
  return VELDstring(text);
}

VELDstring TLocationSelection::getLongitudeString() {
  return formatted("Longitude: %0.2f to %0.2f", minLongitude, maxLongitude);
}

VELDstring TLocationSelection::getLatitudeString() {
  return formatted("Latitude: %0.2f to %0.2f", minLatitude, maxLatitude);
}

bool TLocationSelection::allSelectionInMetDB() {
  BMTFile* database = getMetDatabase();
  if (database == nullptr) return continentList == nullptr;
  Directory* directory = database->directory;
  return chainInArray(
      directory->getContinents(), continentList, [&](Continent* continent, TLocList* entry) {
        return entry->selectAll ||
               allCountriesInMetDB(directory->getCountries(continent), entry->subList);
      });
}

bool TLocationSelection::allCountriesInMetDB(TISArrayAsVector<Country>* countries, TLocList* list) {
  return chainInArray(countries, list, [&](Country* country, TLocList* entry) {
    return entry->selectAll || allStatesInMetDB(country->getStates(), entry->subList);
  });
}

bool TLocationSelection::allStatesInMetDB(TISArrayAsVector<State>* states, TLocList* list) {
  return chainInArray(states, list, [&](State* state, TLocList* entry) {
    return entry->selectAll || allLocationsInMetDB(state->getLocations(), entry->subList);
  });
}

bool TLocationSelection::allLocationsInMetDB(TISArrayAsVector<Location>* locations,
                                             TLocList* list) {
  return chainInArray(locations, list, [](Location*, TLocList*) { return true; });
}

bool TLocationSelection::noSelection() {
  if (continentList == nullptr) return true;
  TLocationIterator iterator(this);
  return iterator.isEmpty();
}
