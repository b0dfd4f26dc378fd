#include "directory/Continent.h"

#include "platform/Stricmp.h"

Continent::Continent(const char* name)
    : VELDstring(name), countries(new TISArrayAsVector<Country>(21, 0, 10)) {}

Continent::~Continent() { delete countries; }

bool operator<(const Continent& a, const Continent& b) {
  return platform::stricmp(a.c_str(), b.c_str()) < 0;
}

bool operator==(const Continent& a, const Continent& b) {
  return platform::stricmp(a.c_str(), b.c_str()) == 0;
}
