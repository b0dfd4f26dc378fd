#ifndef METDB_DIRECTORY_COUNTRY_H_
#define METDB_DIRECTORY_COUNTRY_H_

#include "directory/State.h"
#include "directory/TISArrayAsVector.h"
#include "directory/VELDstring.h"
#include "platform/Export.h"

// A Country of the directory: its name (the VELDstring base) and its states,
// which it owns.
class METDB_EXPORT Country : public VELDstring {
 public:
  // A Country with no states yet (capacity 11, growing by 10).
  explicit Country(const char* name);
  // Deletes the states (and everything below them) while the array owns
  // them.
  ~Country();

  Country(const Country&) = delete;
  Country& operator=(const Country&) = delete;

  // The array of states, owned by this Country.
  TISArrayAsVector<State>* getStates() const { return states; }

 private:
  TISArrayAsVector<State>* states;
};

// Order and equality by name alone, ignoring case.
METDB_EXPORT bool operator<(const Country& a, const Country& b);
METDB_EXPORT bool operator==(const Country& a, const Country& b);

#endif  // METDB_DIRECTORY_COUNTRY_H_
