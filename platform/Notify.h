#ifndef METDB_PLATFORM_NOTIFY_H_
#define METDB_PLATFORM_NOTIFY_H_

#include "platform/Export.h"

namespace platform {

// The library's only ways of telling a person something. Both go through
// hooks that a host program can replace.

// Called in place of the beep (a failed record write); the library carries
// on when it returns.
using BeepHook = void (*)();
// Called in place of the fatal notice with its caption and text (never
// null). The process ends with the library's exit status when the hook
// returns or throws.
using FatalHook = void (*)(const char* caption, const char* text);

// Sounds the system beep. Default: writes the BEL character to stderr.
void messageBeep();

// Shows a fatal notice and ends the process with status. Default notice:
// writes "CAPTION: TEXT" and a line end to stderr. The process exits with
// status after the hook returns, whatever the hook does.
[[noreturn]] void fatalExit(const char* caption, const char* text, int status);

// Replace the hooks; nullptr restores the default. Return the previous hook
// (nullptr when it was the default).
METDB_EXPORT BeepHook setBeepHook(BeepHook hook);
METDB_EXPORT FatalHook setFatalHook(FatalHook hook);

}  // namespace platform

#endif  // METDB_PLATFORM_NOTIFY_H_
