#include "directory/Directory.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/CurrentDirectory.h"

namespace {

// How many locations ahead of the cursor next() (and a pass over locList)
// asks memory for.
constexpr unsigned kWalkPrefetch = 8;

// How two name fields compare, read no further than their ends: the same
// test as the platform's stricmp on the fields' texts, without copying
// them, telling apart texts that are equal byte for byte (which need no
// copying either).
enum class FieldMatch { kExact, kIgnoringCase, kDifferent };

template <std::size_t N>
FieldMatch compareFields(const char (&a)[N], const char (&b)[N]) {
  bool exact = true;
  for (std::size_t i = 0; i < N; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x == y) {
      if (x == '\0') break;
      continue;
    }
    // Bytes that differ but fold alike are letters, never the terminator.
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + ('a' - 'A'));
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + ('a' - 'A'));
    if (x != y) return FieldMatch::kDifferent;
    exact = false;
  }
  return exact ? FieldMatch::kExact : FieldMatch::kIgnoringCase;
}

// Copies the text of field from into to, terminated when it leaves room: a
// field without terminator is copied whole, so that it still compares equal
// to the field it came from.
template <std::size_t N>
void copyField(char (&to)[N], const char (&from)[N]) {
  const void* end = std::memchr(from, '\0', N);
  std::size_t length = end ? static_cast<std::size_t>(static_cast<const char*>(end) - from) : N;
  std::memmove(to, from, length);
  if (length < N) to[length] = '\0';
}

// The first element of array whose name equals name ignoring case.
template <class T>
T* findByName(TISArrayAsVector<T>* array, const VELDstring& name) {
  if (array == nullptr) return nullptr;
  for (unsigned i = 0; i < array->count(); ++i) {
    T* element = (*array)[i];
    if (static_cast<const VELDstring&>(*element) == name) return element;
  }
  return nullptr;
}

// The position in array of the element whose child array is children, or
// TISArrayAsVector<T>::notFound. Tries hint first, which is right unless the
// array was reordered under the cursor.
template <class T, class Children>
unsigned positionOwning(TISArrayAsVector<T>* array, unsigned hint, Children* children,
                        Children* (T::*accessor)() const) {
  if (array == nullptr || children == nullptr) return TISArrayAsVector<T>::notFound;
  if (hint < array->count() && ((*array)[hint]->*accessor)() == children) return hint;
  for (unsigned i = 0; i < array->count(); ++i) {
    if (((*array)[i]->*accessor)() == children) return i;
  }
  return TISArrayAsVector<T>::notFound;
}

}  // namespace

Directory::Directory(const char* name)
    : fileName(name != nullptr ? name : ""),
      continents(nullptr),
      curCountries(nullptr),
      curStates(nullptr),
      curLocations(nullptr),
      locList(new TISArrayAsVector<Location>(1001, 0, 500)),
      lastContinent(nullptr),
      lastCountry(nullptr),
      lastState(nullptr),
      lastLocation(nullptr),
      continentPos(0),
      countryPos(0),
      statePos(0),
      locationPos(0),
      locationCount(0),
      homeDrive(0),
      changed(false) {
  locList->ownsElements(false);
  continents = new TISArrayAsVector<Continent>(11, 0, 1);
  platform::getcwd(homeDir, sizeof homeDir);
  homePath_ = platform::currentDirectory();
  homeDrive = platform::getdisk();
}

Directory::~Directory() {
  delete continents;
  discardReadOrder();
  delete locList;
}

bool Directory::IsEmpty() const { return continents->count() == 0; }

TISArrayAsVector<Continent>* Directory::getContinents() const { return continents; }

TISArrayAsVector<Country>* Directory::getCountries(Continent* continent) const {
  return continent != nullptr ? continent->getCountries() : nullptr;
}

TISArrayAsVector<State>* Directory::getStates(Country* country) const {
  return country != nullptr ? country->getStates() : nullptr;
}

TISArrayAsVector<Location>* Directory::getLocations(State* state) const {
  return state != nullptr ? state->getLocations() : nullptr;
}

Continent* Directory::getContinent(const VELDstring& name) const {
  return findByName(continents, name);
}

Country* Directory::getCountry(const VELDstring& name, TISArrayAsVector<Country>* countries) const {
  return findByName(countries, name);
}

State* Directory::getState(const VELDstring& name, TISArrayAsVector<State>* states) const {
  return findByName(states, name);
}

Location* Directory::getLocation(const VELDstring& name,
                                 TISArrayAsVector<Location>* locations) const {
  return findByName(locations, name);
}

void Directory::first() {
  continentPos = 0;
  countryPos = 0;
  statePos = 0;
  locationPos = 0;
  curCountries = continents->count() > 0 ? (*continents)[0]->getCountries() : nullptr;
  curStates = curCountries != nullptr && curCountries->count() > 0 ? (*curCountries)[0]->getStates()
                                                                   : nullptr;
  curLocations = getLocationList(0);
}

bool Directory::next() {
  if (IsEmpty()) return true;
  if (curLocations != nullptr) {
    ++locationPos;
    unsigned count = curLocations->count();
    if (static_cast<unsigned>(locationPos) < count) {
      // A walk reads each location once, and they lie scattered in memory:
      // asking for one a few steps ahead overlaps the waits.
      unsigned ahead = static_cast<unsigned>(locationPos) + kWalkPrefetch;
      if (ahead < count) __builtin_prefetch((*curLocations)[ahead]);
      return true;
    }
  }
  locationPos = 0;
  if (curStates != nullptr) {
    ++statePos;
    if (static_cast<unsigned>(statePos) < curStates->count()) {
      curLocations = getLocationList(statePos);
      return true;
    }
  }
  statePos = 0;
  if (curCountries != nullptr) {
    ++countryPos;
    if (static_cast<unsigned>(countryPos) < curCountries->count()) {
      curStates = (*curCountries)[countryPos]->getStates();
      curLocations = getLocationList(0);
      return true;
    }
  }
  countryPos = 0;
  ++continentPos;
  if (static_cast<unsigned>(continentPos) < continents->count()) {
    curCountries = (*continents)[continentPos]->getCountries();
    curStates = curCountries->count() > 0 ? (*curCountries)[0]->getStates() : nullptr;
    curLocations = getLocationList(0);
    return true;
  }
  first();
  return false;
}

long Directory::getLocationIndex() const {
  if (curLocations == nullptr || static_cast<unsigned>(locationPos) >= curLocations->count()) {
    return -1;
  }
  return (*curLocations)[locationPos]->locationIndex;
}

void Directory::setLocationIndex(long index) {
  if (curLocations == nullptr || static_cast<unsigned>(locationPos) >= curLocations->count()) {
    return;
  }
  (*curLocations)[locationPos]->locationIndex = index;
}

const char* Directory::getLocationName() const {
  if (curLocations == nullptr || static_cast<unsigned>(locationPos) >= curLocations->count()) {
    return nullptr;
  }
  return (*curLocations)[locationPos]->c_str();
}

TISArrayAsVector<Location>* Directory::getLocationList(int statePosition) {
  if (curStates == nullptr || static_cast<unsigned>(statePosition) >= curStates->count()) {
    return nullptr;
  }
  return (*curStates)[statePosition]->getLocations();
}

Location* Directory::getLocation(int position) {
  if (position < 0 || position >= locationCount ||
      static_cast<unsigned>(position) >= locList->count()) {
    return nullptr;
  }
  return (*locList)[position];
}

void Directory::setLocListIndices() {
  unsigned count = locList->count();
  for (unsigned p = 0; p < count; ++p) {
    // The locations lie scattered in memory: ask for them ahead.
    if (p + kWalkPrefetch < count) __builtin_prefetch((*locList)[p + kWalkPrefetch]);
    (*locList)[p]->locListIndex = p;
  }
}

void Directory::addOrderedEntry(const LocationData& newRec, LocationData& oldRec, long index) {
  // A level without an open group gets one even when the names agree: that
  // is the first record, when its continent name is empty like oldRec's.
  FieldMatch continent = compareFields(oldRec.continent, newRec.continent);
  FieldMatch country = compareFields(oldRec.country, newRec.country);
  FieldMatch state = compareFields(oldRec.state, newRec.state);
  bool opened = false;
  if (lastContinent == nullptr || continent == FieldMatch::kDifferent) {
    lastContinent = new Continent(fieldText(newRec.continent).c_str());
    continents->add(lastContinent);
    opened = true;
  }
  if (opened || lastCountry == nullptr || country == FieldMatch::kDifferent) {
    lastCountry = new Country(fieldText(newRec.country).c_str());
    lastContinent->getCountries()->add(lastCountry);
    opened = true;
  }
  if (opened || lastState == nullptr || state == FieldMatch::kDifferent) {
    lastState = new State(fieldText(newRec.state).c_str());
    lastCountry->getStates()->add(lastState);
  }
  lastLocation = new Location(newRec, index);
  lastState->getLocations()->add(lastLocation);
  locList->add(lastLocation);
  ++locationCount;

  // A group name that is already there byte for byte is left alone: in a
  // grouped file that is nearly every record.
  copyField(oldRec.name, newRec.name);
  if (continent != FieldMatch::kExact) copyField(oldRec.continent, newRec.continent);
  if (country != FieldMatch::kExact) copyField(oldRec.country, newRec.country);
  if (state != FieldMatch::kExact) copyField(oldRec.state, newRec.state);
  changed = true;
}

bool Directory::deleteEntry() {
  if (curLocations == nullptr || static_cast<unsigned>(locationPos) >= curLocations->count()) {
    return false;
  }
  changed = true;
  Location* gone = (*curLocations)[locationPos];

  // Equal locations may stand around the position that find gives, and with
  // NaN coordinates find may miss altogether: the entry is the one that is
  // this very object.
  unsigned at = TISArrayAsVector<Location>::notFound;
  unsigned hit = locList->find(gone);
  if (hit != TISArrayAsVector<Location>::notFound) {
    for (unsigned i = hit + 1; i-- > 0 && *(*locList)[i] == *gone;) {
      if ((*locList)[i] == gone) {
        at = i;
        break;
      }
    }
    for (unsigned i = hit + 1; at == TISArrayAsVector<Location>::notFound && i < locList->count() &&
                               *(*locList)[i] == *gone;
         ++i) {
      if ((*locList)[i] == gone) at = i;
    }
  }
  for (unsigned i = 0; at == TISArrayAsVector<Location>::notFound && i < locList->count(); ++i) {
    if ((*locList)[i] == gone) at = i;
  }
  if (at != TISArrayAsVector<Location>::notFound) locList->detach(at, false);
  locationCount = static_cast<long>(locList->count());

  if (gone == lastLocation) lastLocation = nullptr;
  curLocations->detach(locationPos, true);
  if (curLocations->count() > 0) return false;

  // The state is empty. The cursor's positions are checked against the
  // arrays before a record is removed: after additions under the cursor a
  // position may name another, non-empty record.
  locationPos = 0;
  unsigned sp = positionOwning(curStates, statePos, curLocations, &State::getLocations);
  if (sp == TISArrayAsVector<State>::notFound) {
    curLocations = nullptr;
    return false;
  }
  statePos = static_cast<int>(sp);
  if ((*curStates)[sp] == lastState) lastState = nullptr;
  curStates->detach(sp, true);
  if (curStates->count() > 0) {
    curLocations = getLocationList(statePos);
    return false;
  }

  statePos = 0;
  curLocations = nullptr;
  unsigned cp = positionOwning(curCountries, countryPos, curStates, &Country::getStates);
  if (cp == TISArrayAsVector<Country>::notFound) {
    curStates = nullptr;
    return false;
  }
  countryPos = static_cast<int>(cp);
  if ((*curCountries)[cp] == lastCountry) lastCountry = nullptr;
  curCountries->detach(cp, true);
  if (curCountries->count() > 0) {
    curStates = static_cast<unsigned>(countryPos) < curCountries->count()
                    ? (*curCountries)[countryPos]->getStates()
                    : nullptr;
    curLocations = getLocationList(0);
    return false;
  }

  countryPos = 0;
  curStates = nullptr;
  unsigned kp = positionOwning(continents, continentPos, curCountries, &Continent::getCountries);
  if (kp == TISArrayAsVector<Continent>::notFound) {
    curCountries = nullptr;
    return false;
  }
  continentPos = static_cast<int>(kp);
  if ((*continents)[kp] == lastContinent) lastContinent = nullptr;
  continents->detach(kp, true);
  if (static_cast<unsigned>(continentPos) >= continents->count()) {
    continentPos = 0;
    curCountries = nullptr;
    return true;
  }
  curCountries = (*continents)[continentPos]->getCountries();
  curStates = curCountries->count() > 0 ? (*curCountries)[0]->getStates() : nullptr;
  curLocations = getLocationList(0);
  return false;
}

long Directory::deleteLocations(const std::function<bool(const Location&)>& doomed) {
  std::vector<Location*> gone;
  locList->removeIf(
      [&](Location* l) {
        if (!doomed(*l)) return false;
        gone.push_back(l);
        return true;
      },
      false);
  locationCount = static_cast<long>(locList->count());
  if (gone.empty()) return 0;
  changed = true;
  std::sort(gone.begin(), gone.end());
  auto isGone = [&](Location* l) { return std::binary_search(gone.begin(), gone.end(), l); };
  if (lastLocation != nullptr && isGone(lastLocation)) lastLocation = nullptr;

  // Each level's empty records go after their children, so that a record
  // emptied by this pass goes in the same pass.
  continents->removeIf(
      [&](Continent* continent) {
        continent->getCountries()->removeIf(
            [&](Country* country) {
              country->getStates()->removeIf(
                  [&](State* state) {
                    state->getLocations()->removeIf(isGone, true);
                    if (state->getLocations()->count() > 0) return false;
                    if (state == lastState) lastState = nullptr;
                    return true;
                  },
                  true);
              if (country->getStates()->count() > 0) return false;
              if (country == lastCountry) lastCountry = nullptr;
              return true;
            },
            true);
        if (continent->getCountries()->count() > 0) return false;
        if (continent == lastContinent) lastContinent = nullptr;
        return true;
      },
      true);
  first();
  return static_cast<long>(gone.size());
}
