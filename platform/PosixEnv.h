#ifndef METDB_PLATFORM_POSIXENV_H_
#define METDB_PLATFORM_POSIXENV_H_

#include "platform/Env.h"

namespace platform {

// The Env of the operating system itself (Linux): handles are descriptors,
// locks are open file description locks (F_OFD_SETLK), so that they belong
// to the handle and not to the process. Reached through Env::Default().
class PosixEnv : public Env {
 public:
  int open(const std::string& name, unsigned flags, unsigned mode) override;
  long read(int file, void* buf, std::size_t n, long offset) override;
  long write(int file, const void* buf, std::size_t n, long offset) override;
  bool truncate(int file, long length) override;
  bool sync(int file) override;
  bool status(int file, FileStatus* status) override;
  bool setBlocking(int file) override;
  bool setPermissions(int file, unsigned permissions) override;
  bool setModified(int file, std::int64_t modifiedNs) override;
  bool lock(int file, int slot, LockKind kind) override;
  bool lockHeld(int file, int slot, LockKind kind, LockKind* held) override;
  bool close(int file) override;

  int standardInput() override;
  long readNext(int file, void* buf, std::size_t n) override;
  bool waitReadable(int file, int milliseconds) override;

  bool statusOf(const std::string& name, FileStatus* status, bool followLinks) override;
  bool rename(const std::string& from, const std::string& to) override;
  bool remove(const std::string& name) override;
  bool setPermissionsOf(const std::string& name, unsigned permissions) override;
  bool makeFolder(const std::string& name, unsigned mode) override;
  bool removeFolder(const std::string& name) override;
  bool listFolder(const std::string& folder, std::vector<std::string>* names) override;
  bool syncFolder(const std::string& folder) override;

  std::uint64_t random() override;
  std::int64_t nowNs() override;
  double monotonicSeconds() override;
  void sleepMilliseconds(int milliseconds) override;
  std::string variable(const std::string& name) override;
  std::string programFile() override;
};

}  // namespace platform

#endif  // METDB_PLATFORM_POSIXENV_H_
