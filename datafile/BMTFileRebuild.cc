// BMTFile::remakeDatabase: the data file compacted into directory order.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/WorkingDirectory.h"
#include "datafile/BMTFile.h"
#include "datafile/DataFileReplacement.h"
#include "datafile/DatabaseState.h"
#include "datafile/DirectoryMerge.h"
#include "datafile/StationCarry.h"
#include "datafile/WriteAccess.h"
#include "platform/Failure.h"
#include "platform/Stricmp.h"

namespace {

// Numbers the locations 0, 1, 2, ... in walk order (steps without a current
// location keep nothing); returns the indices they had, in the same order.
std::vector<long> renumber(Directory* d) {
  std::vector<long> old;
  if (d->IsEmpty()) return old;
  long position = 0;
  d->first();
  do {
    long index = d->getLocationIndex();
    if (index < 0) continue;
    old.push_back(index);
    d->setLocationIndex(position++);
  } while (d->next());
  return old;
}

// Where a location's groups stand in the joined order: each continent,
// country and state is ranked by where its name (ignoring case) first
// appears under its parent's name in walk order.
struct GroupRanks {
  unsigned continent = 0, country = 0, state = 0;
  bool operator<(const GroupRanks& o) const {
    if (continent != o.continent) return continent < o.continent;
    if (country != o.country) return country < o.country;
    return state < o.state;
  }
};

// A location of the walk, its groups and their ranks.
struct WalkStep {
  GroupRanks ranks;
  Continent* continent;
  Country* country;
  State* state;
  Location* location;
};

std::string folded(const std::string& name) {
  std::string out = name;
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// Whether two neighbours of one array have the same name ignoring case.
template <typename T>
bool hasTwinIn(TISArrayAsVector<T>* array) {
  if (array == nullptr) return false;
  for (unsigned i = 1; i < array->count(); ++i) {
    if (platform::stricmp((*array)[i - 1]->c_str(), (*array)[i]->c_str()) == 0) return true;
  }
  return false;
}

// Whether some continent, country or state has a neighbour of its name,
// which the arrays' order puts right beside it. Only then can a group be
// split; a directory without one is whole, and this costs a comparison per
// group rather than a walk.
bool hasTwinGroups(Directory* d) {
  if (hasTwinIn(d->continents)) return true;
  for (unsigned c = 0; c < d->continents->count(); ++c) {
    TISArrayAsVector<Country>* countries = (*d->continents)[c]->getCountries();
    if (hasTwinIn(countries)) return true;
    for (unsigned k = 0; countries != nullptr && k < countries->count(); ++k) {
      if (hasTwinIn((*countries)[k]->getStates())) return true;
    }
  }
  return false;
}

// Walks the directory, ranking its groups. When steps is given, every
// location is listed there in walk order. Returns
// whether the ranks never fall along the walk, that is whether every group
// is whole. A group comes back after others when addOrderedEntry opened a
// second one of the same name: for a record entered into a directory that
// was already filled, or for records appended to the data file after their
// groups. Lookups happen once per group, not per location.
bool rankGroups(Directory* d, std::vector<WalkStep>* steps) {
  bool whole = true;
  if (d->IsEmpty()) return whole;
  std::map<std::string, unsigned> ranks;
  auto rankOf = [&ranks](const std::string& key) {
    return ranks.emplace(key, static_cast<unsigned>(ranks.size())).first->second;
  };
  Continent* lastContinent = nullptr;
  Country* lastCountry = nullptr;
  State* lastState = nullptr;
  std::string continentKey, countryKey;
  GroupRanks current, previous;
  bool first = true;
  d->first();
  do {
    // A step without a current location; one whose record index is
    // negative is kept, as the compaction keeps it in the directory.
    if (d->curLocations == nullptr ||
        static_cast<unsigned>(d->locationPos) >= d->curLocations->count()) {
      continue;
    }
    Continent* continent = (*d->continents)[d->continentPos];
    Country* country = (*d->curCountries)[d->countryPos];
    State* state = (*d->curStates)[d->statePos];
    if (continent != lastContinent) {
      continentKey = folded(*continent);
      current.continent = rankOf(continentKey);
      lastContinent = continent;
      lastCountry = nullptr;
    }
    if (country != lastCountry) {
      countryKey = continentKey + '\0' + folded(*country);
      current.country = rankOf(countryKey);
      lastCountry = country;
      lastState = nullptr;
    }
    if (state != lastState) {
      current.state = rankOf(countryKey + '\0' + folded(*state));
      lastState = state;
    }
    if (!first && current < previous) whole = false;
    first = false;
    previous = current;
    if (steps) {
      steps->push_back({current, continent, country, state, (*d->curLocations)[d->locationPos]});
    }
  } while (d->next());
  return whole;
}

// A directory of the same locations, names and record indices as d, in
// which the groups that d holds more than once are joined: filled by
// addOrderedEntry from d's locations sorted by their groups' ranks, which
// keeps walk order within each group.
std::unique_ptr<Directory> joinGroups(Directory* d) {
  std::vector<WalkStep> steps;
  rankGroups(d, &steps);
  std::stable_sort(steps.begin(), steps.end(),
                   [](const WalkStep& a, const WalkStep& b) { return a.ranks < b.ranks; });
  std::unique_ptr<Directory> joined(new Directory(d->fileName.c_str()));
  LocationData previous;
  for (const WalkStep& step : steps) {
    enterLocationCopy(joined.get(), *step.continent, *step.country, *step.state, *step.location,
                      previous);
  }
  return joined;
}

// Gives into the hierarchy and location list of from (and from those of
// into, for it to delete), leaving into's cursor on its first location, so
// that pointers to the into object itself stay good.
void takeContents(Directory& into, Directory& from) {
  std::swap(into.continents, from.continents);
  std::swap(into.locList, from.locList);
  std::swap(into.lastContinent, from.lastContinent);
  std::swap(into.lastCountry, from.lastCountry);
  std::swap(into.lastState, from.lastState);
  std::swap(into.lastLocation, from.lastLocation);
  std::swap(into.locationCount, from.locationCount);
  for (Directory* d : {&into, &from}) {
    d->curCountries = nullptr;
    d->curStates = nullptr;
    d->curLocations = nullptr;
    d->continentPos = d->countryPos = d->statePos = d->locationPos = 0;
  }
  into.first();
}

// Gives the locations back the indices renumber took from them.
void restore(Directory* d, const std::vector<long>& old) {
  if (d->IsEmpty()) return;
  std::size_t i = 0;
  d->first();
  do {
    if (d->getLocationIndex() >= 0 && i < old.size()) d->setLocationIndex(old[i++]);
  } while (d->next());
}

}  // namespace

// Writes the records that the directory refers to, in walk order, to a new
// data file, renumbers the locations 0, 1, 2, ... and swaps the new data
// file and the directory file describing it in. Walk steps without a
// current location write nothing. A directory that holds a group more than
// once (two continents of one name, say, each with some of a country's
// locations) is first joined, so that the new file is grouped and its
// directory holds every group once; the directory object stays the same,
// with new contents. On any failure the data file, the directory and the
// directory file stay as they were and the temporary files are removed. A
// BMTFile* thrown by getLocationData passes out the same way.
void BMTFile::remakeDatabase() {
  platform::clearFailure();
  WorkingDirectory wd(homeDrive, homePath.c_str());
  LockHold hold(databaseLock(*this), SharedLock::kExclusive, SharedLock::waitSeconds());
  if (!checkReplaceable(*this, hold)) return;
  DataFileReplacement replacement(fileName, directory->fileName);
  if (!replacement.begin()) return;
  std::unique_ptr<Directory> joined;
  if (hasTwinGroups(directory) && !rankGroups(directory, nullptr)) {
    joined = joinGroups(directory);
  }
  Directory* walked = joined ? joined.get() : directory;
  StationCarry stations;
  int mine = stations.add(*this);
  if (!walked->IsEmpty()) {
    BulkRead reading(*this);
    walked->first();
    do {
      long index = walked->getLocationIndex();
      if (index < 0) continue;
      // Every byte defined: a location whose record lies past the end of
      // the file reads nothing, and its slot must then hold zeros rather
      // than what the buffer held before.
      LocationData record;
      std::memset(static_cast<void*>(&record), 0, sizeof record);
      getLocationData(index, record);
      long written = replacement.append(record);
      if (written < 0) return;
      if (stations.active()) stations.note(mine, index, record, written);
    } while (walked->next());
  }
  if (stations.active()) {
    std::string final;
    std::string text = stations.finish(mine, &final);
    replacement.carryStations(StationFile::nameFor(stateOf(this).dataPath), text, final);
  }
  std::vector<long> old = renumber(walked);
  if (!replacement.commit(*walked)) {
    restore(walked, old);
    return;
  }
  if (joined) takeContents(*directory, *joined);
  adoptReplacement(*this, replacement.takeFile());
}
