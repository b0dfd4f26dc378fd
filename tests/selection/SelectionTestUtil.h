#ifndef METDB_TESTS_SELECTION_SELECTIONTESTUTIL_H_
#define METDB_TESTS_SELECTION_SELECTIONTESTUTIL_H_

#include <initializer_list>
#include <sstream>
#include <string>

#include "selection/TLocList.h"
#include "selection/TLocationSelection.h"

namespace selectiontest {

// A new entry, optionally with a sub-list.
inline TLocList* entry(const char* name, bool selectAll, TLocList* subList = nullptr) {
  TLocList* e = new TLocList(name, selectAll);
  e->subList = subList;
  return e;
}

// Links the entries along nextEntry and returns the first.
inline TLocList* chain(std::initializer_list<TLocList*> entries) {
  TLocList* first = nullptr;
  TLocList** link = &first;
  for (TLocList* e : entries) {
    *link = e;
    link = &e->nextEntry;
  }
  return first;
}

// The list-section text of a tree, as writeList makes it: a compact way to
// compare whole trees.
inline std::string listText(TLocList* list) {
  TLocationSelection writer;
  std::ostringstream out;
  writer.writeList(out, list);
  return out.str();
}

// The selection of the Alps example: all of Austria, and Sion and Zermatt in
// Valais, Switzerland; limits 3 48 45.5 11 5.75 switched on.
inline void fillAlps(TLocationSelection& s) {
  s.clear();
  std::string("Alps").copy(s.name, 4);
  s.continentList = entry(
      "Europe", false,
      chain(
          {entry("Austria", true),
           entry("Switzerland", false,
                 entry("Valais", false, chain({entry("Sion", false), entry("Zermatt", false)})))}));
  s.levelLimit = 3;
  s.maxLatitude = 48;
  s.minLatitude = 45.5f;
  s.maxLongitude = 11;
  s.minLongitude = 5.75f;
  s.useLatLonLimits = true;
}

inline const char* alpsFile() {
  return "Alps\n1.10\nEurope\n0\n<\nAustria\n1\nSwitzerland\n0\n<\nValais\n0\n<\nSion\n0\n"
         "Zermatt\n0\n>\n>\n>\n>\n3 48 45.5 11 5.75 1";
}

}  // namespace selectiontest

#endif  // METDB_TESTS_SELECTION_SELECTIONTESTUTIL_H_
