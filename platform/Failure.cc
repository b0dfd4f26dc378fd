#include "platform/Failure.h"

#include <errno.h>
#include <string.h>

namespace platform {

namespace {

std::string& reason() {
  static std::string* text = new std::string;  // never destroyed: usable at unload
  return *text;
}

}  // namespace

const std::string& lastFailure() { return reason(); }

void clearFailure() { reason().clear(); }

void noteFailure(const std::string& what) { reason() = what; }

void noteSystemFailure(const std::string& what) {
  int saved = errno;
  char buffer[256];
  // The GNU strerror_r, which returns the message (perhaps not in buffer).
  const char* message = ::strerror_r(saved, buffer, sizeof buffer);
  reason() = what + ": " + message;
  errno = saved;
}

}  // namespace platform
