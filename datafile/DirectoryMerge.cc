#include "datafile/DirectoryMerge.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/Stricmp.h"

namespace {

// One location with the names of the groups that hold it.
struct Entry {
  const std::string* continent;
  const std::string* country;
  const std::string* state;
  const Location* location;
};

void collect(Directory& d, std::vector<Entry>* entries) {
  TISArrayAsVector<Continent>* continents = d.getContinents();
  for (unsigned i = 0; i < continents->count(); ++i) {
    Continent* c = (*continents)[i];
    for (unsigned j = 0; j < c->getCountries()->count(); ++j) {
      Country* k = (*c->getCountries())[j];
      for (unsigned s = 0; s < k->getStates()->count(); ++s) {
        State* st = (*k->getStates())[s];
        for (unsigned l = 0; l < st->getLocations()->count(); ++l) {
          entries->push_back(Entry{c, k, st, (*st->getLocations())[l]});
        }
      }
    }
  }
}

template <std::size_t N>
void setField(char (&field)[N], const std::string& text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

}  // namespace

std::unique_ptr<Directory> mergeDirectoryEdits(Directory& saved, Directory& mine,
                                               const RecordIndexSet& baseline) {
  std::vector<Entry> theirs, ours;
  collect(saved, &theirs);
  collect(mine, &ours);
  RecordIndexSet kept;  // indices mine still has
  for (const Entry& e : ours) kept.insert(e.location->locationIndex);

  std::vector<Entry> merged;
  RecordIndexSet present;
  for (const Entry& e : theirs) {
    long index = e.location->locationIndex;
    if (baseline.contains(index) && !kept.contains(index)) continue;  // deleted here
    merged.push_back(e);
    present.insert(index);
  }
  for (const Entry& e : ours) {
    long index = e.location->locationIndex;
    if (!baseline.contains(index) && !present.contains(index)) merged.push_back(e);
  }

  // Grouped by names ignoring case, as the directory compares them; within
  // a state the directory sorts its locations itself.
  std::stable_sort(merged.begin(), merged.end(), [](const Entry& a, const Entry& b) {
    int c = platform::stricmp(a.continent->c_str(), b.continent->c_str());
    if (c == 0) c = platform::stricmp(a.country->c_str(), b.country->c_str());
    if (c == 0) c = platform::stricmp(a.state->c_str(), b.state->c_str());
    return c < 0;
  });

  std::unique_ptr<Directory> result(new Directory(mine.fileName.c_str()));
  LocationData previous;
  for (const Entry& e : merged) {
    enterLocationCopy(result.get(), *e.continent, *e.country, *e.state, *e.location, previous);
  }
  return result;
}

void enterLocationCopy(Directory* d, const std::string& continent, const std::string& country,
                       const std::string& state, const Location& location, LocationData& previous) {
  LocationData record;
  std::memset(static_cast<void*>(&record), 0, sizeof record);
  setField(record.continent, continent);
  setField(record.country, country);
  setField(record.state, state);
  setField(record.name, location);
  record.level = location.level;
  record.latitude = location.latitude;
  record.longitude = location.longitude;
  d->addOrderedEntry(record, previous, location.locationIndex);
}
