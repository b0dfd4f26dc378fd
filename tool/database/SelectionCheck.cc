#include "tool/database/SelectionCheck.h"

#include <type_traits>

#include "selection/TLocationIterator.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

TISArrayAsVector<Country>* childrenOf(Continent* c) { return c->getCountries(); }
TISArrayAsVector<State>* childrenOf(Country* k) { return k->getStates(); }
TISArrayAsVector<Location>* childrenOf(State* s) { return s->getLocations(); }

// The first entry of chain that the library's check does not find in array,
// matching as it does: a cursor that only moves forward and past every
// match.
template <class T>
bool findMissing(TISArrayAsVector<T>* array, TLocList* chain, const std::string& path,
                 std::string* missing) {
  unsigned cursor = 0;
  for (TLocList* e = chain; e != nullptr; e = e->nextEntry) {
    while (cursor < array->count() && !text::equalIgnoringCase(*(*array)[cursor], e->name)) {
      ++cursor;
    }
    if (cursor == array->count()) {
      *missing = path + e->name;
      return true;
    }
    T* element = (*array)[cursor++];
    // Locations have no level below them to check.
    if constexpr (!std::is_same_v<T, Location>) {
      if (!e->selectAll &&
          findMissing(childrenOf(element), e->subList, path + e->name + "/", missing)) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace

SelectionCheck SelectionCheck::of(TLocationSelection* selection, Directory* directory) {
  SelectionCheck result;
  result.allInDatabase = selection->allSelectionInMetDB();
  if (!result.allInDatabase) {
    findMissing(directory->getContinents(), selection->continentList, "", &result.firstMissing);
  }
  result.selectsNothing = selection->noSelection();
  if (!result.selectsNothing) {
    TLocationIterator iterator(selection);
    result.locations = iterator.getNumLocations();
  }
  return result;
}

}  // namespace metdb
