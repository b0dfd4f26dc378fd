#ifndef METDB_SELECTION_TLOCLIST_H_
#define METDB_SELECTION_TLOCLIST_H_

#include "platform/Export.h"

// One entry of one level of a selection's tree of names: a continent, country,
// state or location, told apart only by the entry's depth in the tree.
//
// An entry owns nothing: deleting it frees that entry alone, and copying it
// copies the two pointers. Chains are freed and copied through
// TLocationSelection::deleteList and TLocationSelection::CopyList.
class METDB_EXPORT TLocList {
 public:
  // Capacity of name, its terminating NUL included.
  static constexpr int kNameSize = 80;

  // An entry with an empty name, selectAll false and no links.
  TLocList();
  // An entry named by the first 79 characters of name (a null name gives an
  // empty one), with the given selectAll and no links.
  TLocList(const char* name, bool selectAll);

  // The continent, country, state or location name: at most 79 characters
  // and a NUL.
  char name[kNameSize];
  // True: everything below the directory entry of this name is selected and
  // subList is not consulted. False: only what subList names is selected.
  bool selectAll;
  // First entry of the next lower level's chain, or null.
  TLocList* subList;
  // Next entry of the same level, or null.
  TLocList* nextEntry;
};

#endif  // METDB_SELECTION_TLOCLIST_H_
