#ifndef METDB_DIRECTORY_CONTINENT_H_
#define METDB_DIRECTORY_CONTINENT_H_

#include "directory/Country.h"
#include "directory/TISArrayAsVector.h"
#include "directory/VELDstring.h"
#include "platform/Export.h"

// A Continent of the directory: its name (the VELDstring base) and its countries,
// which it owns.
class METDB_EXPORT Continent : public VELDstring {
 public:
  // A Continent with no countries yet (capacity 21, growing by 10).
  explicit Continent(const char* name);
  // Deletes the countries (and everything below them) while the array owns
  // them.
  ~Continent();

  Continent(const Continent&) = delete;
  Continent& operator=(const Continent&) = delete;

  // The array of countries, owned by this Continent.
  TISArrayAsVector<Country>* getCountries() const { return countries; }

 private:
  TISArrayAsVector<Country>* countries;
};

// Order and equality by name alone, ignoring case.
METDB_EXPORT bool operator<(const Continent& a, const Continent& b);
METDB_EXPORT bool operator==(const Continent& a, const Continent& b);

#endif  // METDB_DIRECTORY_CONTINENT_H_
