#include "platform/Failure.h"

#include <errno.h>
#include <string.h>

#include <cstring>

namespace platform {

namespace {

// Plain storage, without a destructor: failures may be noted while the
// program or the library is being torn down (a database saved at unload),
// after the destructors of its other statics have run.
char reason[1024];

void keep(const std::string& text) {
  std::size_t n = text.size() < sizeof reason - 1 ? text.size() : sizeof reason - 1;
  std::memcpy(reason, text.data(), n);
  reason[n] = '\0';
}

}  // namespace

const char* lastFailure() { return reason; }

bool hasFailure() { return reason[0] != '\0'; }

void clearFailure() { reason[0] = '\0'; }

void noteFailure(const std::string& what) { keep(what); }

void noteSystemFailure(const std::string& what) {
  int saved = errno;
  char buffer[256];
  // The GNU strerror_r, which returns the message (perhaps not in buffer).
  const char* message = ::strerror_r(saved, buffer, sizeof buffer);
  keep(what + ": " + message);
  errno = saved;
}

}  // namespace platform
