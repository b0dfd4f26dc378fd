#ifndef METDB_PLATFORM_FAILURE_H_
#define METDB_PLATFORM_FAILURE_H_

#include <string>

namespace platform {

// The reason for the last failure of a file operation in this process, as
// a phrase ("cannot open \"x.bmt\": Permission denied"), kept until the
// next failure replaces it or clearFailure() empties it. The library's
// operations clear it when they start, so after one of them it is empty
// exactly when that operation did its work. One per process, like the
// library's other state: not for several threads at once. At most 1023
// bytes are kept.
const char* lastFailure();
bool hasFailure();
void clearFailure();
// Keeps what as the reason.
void noteFailure(const std::string& what);
// Keeps what, followed by ": " and the system's message for errno. Leaves
// errno as it found it.
void noteSystemFailure(const std::string& what);

}  // namespace platform

#endif  // METDB_PLATFORM_FAILURE_H_
