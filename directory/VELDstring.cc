#include "directory/VELDstring.h"

#include "platform/Stricmp.h"

VELDstring::VELDstring(const char* text) : std::string(text ? text : "") {}

VELDstring::VELDstring(const std::string& text) : std::string(text) {}

bool operator==(const VELDstring& a, const VELDstring& b) {
  return platform::stricmp(a.c_str(), b.c_str()) == 0;
}

bool operator!=(const VELDstring& a, const VELDstring& b) { return !(a == b); }

bool operator==(const VELDstring& a, const char* b) {
  return platform::stricmp(a.c_str(), b ? b : "") == 0;
}

bool operator==(const char* a, const VELDstring& b) { return b == a; }

bool operator!=(const VELDstring& a, const char* b) { return !(a == b); }

bool operator!=(const char* a, const VELDstring& b) { return !(b == a); }
