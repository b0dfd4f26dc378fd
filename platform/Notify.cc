#include "platform/Notify.h"

#include <errno.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {

namespace {

BeepHook beepHook = nullptr;
FatalHook fatalHook = nullptr;

void writeAll(const char* data, std::size_t n) {
  while (n > 0) {
    ssize_t w = ::write(STDERR_FILENO, data, n);
    if (w <= 0) {
      if (w < 0 && errno == EINTR) continue;
      return;  // stderr is gone: nothing more can be told
    }
    data += w;
    n -= static_cast<std::size_t>(w);
  }
}

}  // namespace

void messageBeep() {
  if (beepHook != nullptr) {
    beepHook();
    return;
  }
  writeAll("\a", 1);
}

void fatalExit(const char* caption, const char* text, int status) {
  if (caption == nullptr) caption = "";
  if (text == nullptr) text = "";
  if (fatalHook != nullptr) {
    try {
      fatalHook(caption, text);
    } catch (...) {
      // The process ends with status whatever the host's notice did.
    }
  } else {
    std::string line = std::string(caption) + ": " + text + "\n";
    writeAll(line.data(), line.size());
  }
  std::exit(status);
}

BeepHook setBeepHook(BeepHook hook) {
  BeepHook old = beepHook;
  beepHook = hook;
  return old;
}

FatalHook setFatalHook(FatalHook hook) {
  FatalHook old = fatalHook;
  fatalHook = hook;
  return old;
}

}  // namespace platform
