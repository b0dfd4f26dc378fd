#include "platform/Env.h"

#include <errno.h>

#include <new>

#include "platform/PosixEnv.h"

namespace platform {

namespace {

Env* substituted = nullptr;

constexpr char kNameLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kNameAttempts = 100;

// prefix and six characters that another process cannot guess.
std::string uniqueName(Env* env, const std::string& folder, const std::string& prefix) {
  std::uint64_t bits = env->random();
  std::string name = folder.empty() ? prefix : folder + "/" + prefix;
  for (int i = 0; i < 6; ++i) {
    name += kNameLetters[bits % (sizeof kNameLetters - 1)];
    bits /= sizeof kNameLetters - 1;
  }
  return name;
}

}  // namespace

Env::~Env() = default;

bool Env::lockHeld(int, int, LockKind, LockKind* held) {
  *held = kUnlock;
  return false;
}

Env* Env::Default() {
  // Never destroyed: files may be closed while the library is being
  // unloaded, after the destructors of its other statics have run.
  // Built in static storage rather than on the heap so that a leak checker
  // does not count it when the library is unloaded.
  alignas(PosixEnv) static unsigned char storage[sizeof(PosixEnv)];
  static Env* posix = new (storage) PosixEnv;
  return posix;
}

Env* Env::current() { return substituted != nullptr ? substituted : Default(); }

Env* Env::substitute(Env* env) {
  Env* previous = current();
  substituted = env;
  return previous;
}

int Env::createUnique(const std::string& folder, const std::string& prefix, unsigned mode,
                      std::string* path) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string name = uniqueName(this, folder, prefix);
    int file = open(name, kReadWrite | kCreate | kExclusive | kNoFollow, mode);
    if (file >= 0) {
      *path = name;
      return file;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;  // errno is EEXIST
}

bool Env::createUniqueFolder(const std::string& parent, const std::string& prefix,
                             std::string* path) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string name = uniqueName(this, parent, prefix);
    if (makeFolder(name, 0700)) {
      *path = name;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool Env::removeAll(const std::string& name) {
  FileStatus status;
  if (!statusOf(name, &status, false)) return false;
  if (status.kind == FileStatus::kMissing) return true;
  if (status.kind != FileStatus::kFolder) return remove(name);
  std::vector<std::string> names;
  bool ok = listFolder(name, &names);
  for (const std::string& entry : names) ok = removeAll(name + "/" + entry) && ok;
  return removeFolder(name) && ok;
}

bool Env::takePermissions(int file, const std::string& model) {
  FileStatus found;
  // Never through a link: a planted one must not lend its target's bits.
  int fd = open(model, kNonBlocking | kNoFollow, 0);
  if (fd >= 0) {
    bool known = status(fd, &found);
    close(fd);
    if (!known) return false;
  } else if (!statusOf(model, &found, false)) {  // unreadable: its name still tells
    return false;
  }
  return found.kind == FileStatus::kRegular && setPermissions(file, found.permissions);
}

FileStatus::Kind Env::kindOf(const std::string& name) {
  FileStatus status;
  return statusOf(name, &status, true) ? status.kind : FileStatus::kMissing;
}

long long Env::sizeOf(const std::string& name) {
  FileStatus status;
  if (!statusOf(name, &status, true) || status.kind == FileStatus::kMissing) return -1;
  return status.stamp.size;
}

std::string Env::tempFolder() {
  std::string dir = variable("TMPDIR");
  return dir.empty() ? "/tmp" : dir;
}

}  // namespace platform
