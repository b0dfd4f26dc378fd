#ifndef METDB_TOOL_DATABASE_DIRECTORYWALK_H_
#define METDB_TOOL_DATABASE_DIRECTORYWALK_H_

#include <functional>

#include "directory/Directory.h"

namespace metdb {

// What a walk over a directory's hierarchy tells: each group as the walk
// enters and leaves it, and each location of the states it enters, with
// the groups it lies in. Every method does nothing by default and lets the
// walk go on.
class DirectoryVisitor {
 public:
  virtual ~DirectoryVisitor() = default;

  // On reaching a group: whether to walk what lies below it. When false, the
  // walk goes on with the group's next sibling, and the group is not left
  // (no leave call).
  virtual bool enterContinent(Continent*) { return true; }
  virtual bool enterCountry(Continent*, Country*) { return true; }
  virtual bool enterState(Continent*, Country*, State*) { return true; }

  // Each location of an entered state. False ends the whole walk at once,
  // with no further calls.
  virtual bool visitLocation(Continent*, Country*, State*, Location*) { return true; }

  // After everything below an entered group was walked.
  virtual void leaveState(Continent*, Country*, State*) {}
  virtual void leaveCountry(Continent*, Country*) {}
  virtual void leaveContinent(Continent*) {}
};

// Walks directory's arrays (not its cursor, which stays where it is) in walk
// order: each continent, then its countries, each country's states and each
// state's locations, as the sorted arrays hold them. The visitor must not
// change the arrays. Returns false when the visitor ended the walk. No check
// point: a visitor that does long work per location calls checkPoint
// itself.
bool walkDirectory(Directory* directory, DirectoryVisitor& visitor);

// Calls visit for each location of directory, in walk order, with the
// groups it lies in.
using LocationVisit = std::function<void(Continent*, Country*, State*, Location*)>;
void forEachLocation(Directory* directory, const LocationVisit& visit);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_DIRECTORYWALK_H_
