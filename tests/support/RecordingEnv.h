#ifndef METDB_TESTS_SUPPORT_RECORDINGENV_H_
#define METDB_TESTS_SUPPORT_RECORDINGENV_H_

#include <map>
#include <string>
#include <vector>

#include "platform/Env.h"

namespace testsupport {

// An Env that passes every call on to the system's own and keeps a journal
// of the calls that change files ("write NAME", "truncate NAME", "sync
// NAME", "rename FROM TO", "remove NAME", "syncFolder FOLDER"; names as the
// caller gave them), so that a test can check what reached the disk and in
// which order. It can also refuse the sync of chosen files, as a failing
// disk does. Current for the life of the object.
class RecordingEnv : public platform::Env {
 public:
  RecordingEnv();
  ~RecordingEnv() override;

  const std::vector<std::string>& journal() const { return journal_; }
  // The journal's entries that start with prefix, in order.
  std::vector<std::string> entries(const std::string& prefix) const;
  // How many calls so far asked after a file (status, statusOf), took or
  // gave back a lock, or set a file's time: what a write paid beside the
  // write itself.
  int checks() const { return checks_; }
  // Every later sync of a file whose name contains part fails with EIO.
  void failSyncOf(const std::string& part) { failSync_ = part; }

  int open(const std::string& name, unsigned flags, unsigned mode) override;
  long read(int file, void* buf, std::size_t n, long offset) override;
  long write(int file, const void* buf, std::size_t n, long offset) override;
  bool truncate(int file, long length) override;
  bool sync(int file) override;
  bool status(int file, platform::FileStatus* status) override;
  bool setBlocking(int file) override;
  bool setPermissions(int file, unsigned permissions) override;
  bool setModified(int file, std::int64_t modifiedNs) override;
  bool lock(int file, int slot, LockKind kind) override;
  bool close(int file) override;
  int standardInput() override;
  long readNext(int file, void* buf, std::size_t n) override;
  bool waitReadable(int file, int milliseconds) override;
  bool statusOf(const std::string& name, platform::FileStatus* status, bool followLinks) override;
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

 private:
  // The name a handle was opened by; "?" when unknown.
  std::string nameOf(int file) const;

  platform::Env* base_;
  platform::Env* previous_;
  std::map<int, std::string> names_;
  std::vector<std::string> journal_;
  std::string failSync_;
  int checks_ = 0;
};

}  // namespace testsupport

#endif  // METDB_TESTS_SUPPORT_RECORDINGENV_H_
