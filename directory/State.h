#ifndef METDB_DIRECTORY_STATE_H_
#define METDB_DIRECTORY_STATE_H_

#include "directory/Location.h"
#include "directory/TISArrayAsVector.h"
#include "directory/VELDstring.h"
#include "platform/Export.h"

// A State of the directory: its name (the VELDstring base) and its locations,
// which it owns.
class METDB_EXPORT State : public VELDstring {
 public:
  // A State with no locations yet (capacity 21, growing by 10).
  explicit State(const char* name);
  // Deletes the locations (and everything below them) while the array owns
  // them.
  ~State();

  State(const State&) = delete;
  State& operator=(const State&) = delete;

  // The array of locations, owned by this State.
  TISArrayAsVector<Location>* getLocations() const { return locations; }

 private:
  TISArrayAsVector<Location>* locations;
};

// Order and equality of states by name alone, ignoring case. The right-hand
// side is a name; a State passed there is taken as its name.
METDB_EXPORT bool operator<(const State& a, const VELDstring& b);
METDB_EXPORT bool operator==(const State& a, const VELDstring& b);

#endif  // METDB_DIRECTORY_STATE_H_
