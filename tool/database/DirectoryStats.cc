#include "tool/database/DirectoryStats.h"

#include "tool/text/Text.h"

namespace metdb {

namespace {

// Notes element i of array as a duplicate when it repeats the name of the
// element before it (equal names stand together in the sorted arrays), once
// per run of equal names.
template <class T>
void noteDuplicate(TISArrayAsVector<T>* array, unsigned i, const std::string& path,
                   std::vector<std::string>* out) {
  if (i == 0 || !text::equalIgnoringCase(*(*array)[i], *(*array)[i - 1])) return;
  if (i >= 2 && text::equalIgnoringCase(*(*array)[i], *(*array)[i - 2])) return;
  out->push_back(path);
}

}  // namespace

DirectoryStats DirectoryStats::of(Directory* directory) {
  DirectoryStats s;
  TISArrayAsVector<Continent>* continents = directory->getContinents();
  for (unsigned i = 0; i < continents->count(); ++i) {
    Continent* c = (*continents)[i];
    ++s.continents;
    noteDuplicate(continents, i, *c, &s.duplicateGroups);
    TISArrayAsVector<Country>* countries = c->getCountries();
    for (unsigned j = 0; j < countries->count(); ++j) {
      Country* k = (*countries)[j];
      ++s.countries;
      std::string countryPath = *c + "/" + *k;
      noteDuplicate(countries, j, countryPath, &s.duplicateGroups);
      TISArrayAsVector<State>* states = k->getStates();
      for (unsigned m = 0; m < states->count(); ++m) {
        State* st = (*states)[m];
        ++s.states;
        noteDuplicate(states, m, countryPath + "/" + *st, &s.duplicateGroups);
        s.locations += static_cast<long>(st->getLocations()->count());
      }
    }
  }
  return s;
}

}  // namespace metdb
