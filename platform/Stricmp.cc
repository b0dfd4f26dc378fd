#include "platform/Stricmp.h"

namespace platform {

namespace {

// Folds only 'A'-'Z'; the locale's notion of letters never enters, so the
// order of names is the same on every host.
inline int foldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

}  // namespace

int stricmp(const char* a, const char* b) {
  const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
  for (;; ++x, ++y) {
    int cx = foldAscii(*x);
    int cy = foldAscii(*y);
    if (cx != cy || cx == 0) return cx - cy;
  }
}

}  // namespace platform
