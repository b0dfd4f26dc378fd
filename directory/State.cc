#include "directory/State.h"

#include "platform/Stricmp.h"

State::State(const char* name)
    : VELDstring(name), locations(new TISArrayAsVector<Location>(21, 0, 10)) {}

State::~State() { delete locations; }

bool operator<(const State& a, const VELDstring& b) {
  return platform::stricmp(a.c_str(), b.c_str()) < 0;
}

bool operator==(const State& a, const VELDstring& b) {
  return platform::stricmp(a.c_str(), b.c_str()) == 0;
}
