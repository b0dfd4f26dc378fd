#include "directory/Country.h"

#include "platform/Stricmp.h"

Country::Country(const char* name)
    : VELDstring(name), states(new TISArrayAsVector<State>(11, 0, 10)) {}

Country::~Country() { delete states; }

bool operator<(const Country& a, const Country& b) {
  return platform::stricmp(a.c_str(), b.c_str()) < 0;
}

bool operator==(const Country& a, const Country& b) {
  return platform::stricmp(a.c_str(), b.c_str()) == 0;
}
