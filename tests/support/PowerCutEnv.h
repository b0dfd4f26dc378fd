#ifndef METDB_TESTS_SUPPORT_POWERCUTENV_H_
#define METDB_TESTS_SUPPORT_POWERCUTENV_H_

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Env.h"

namespace testsupport {

// A file as a disk holds it: its bytes and its modification time (which
// decides whether a directory file is read or rebuilt).
struct DiskFile {
  std::string bytes;
  std::int64_t modifiedNs = 0;
  bool operator==(const DiskFile& o) const {
    return bytes == o.bytes && modifiedNs == o.modifiedNs;
  }
  bool operator<(const DiskFile& o) const {
    return modifiedNs != o.modifiedNs ? modifiedNs < o.modifiedNs : bytes < o.bytes;
  }
};
// The regular files of a folder tree by path relative to it.
using DiskImage = std::map<std::string, DiskFile>;

// A disk that can lose power, in the spirit of SQLite's crash-test file
// system: every call passes on to the system's own Env, and the changes to
// the regular files under root (writes, truncations, new modification
// times, creations, renames, removals) are journalled with the syncs of
// files and folders. survivorsAt(step) then tells what a power cut after
// the journal's first step entries may leave: unsynced file contents lost,
// kept, or torn (each 512-byte sector written since the last sync kept or
// lost at random, from fixed seeds), each file on its own while few are
// unsynced; unsynced changes to a folder's names kept in order up to any
// point, or all but any one of them (the worst orders a file system may
// write them in). What was synced always survives.
//
// It also fails on demand: failAt(call, fault) makes the call-th write,
// sync or folder sync under root fail with EIO or ENOSPC, or a write
// short (half its bytes), as a disk or a full file system does. A sync
// through a handle whose sync failed succeeds, as Linux's does once it has
// marked the unwritten pages clean; resynced() tells whether any caller did
// that (taking data as safe that may be lost). Current for the life of the
// object.
class PowerCutEnv : public platform::Env {
 public:
  // root: an absolute folder; what it holds now is taken as durable.
  explicit PowerCutEnv(const std::string& root);
  ~PowerCutEnv() override;

  // Puts back the Env it replaced; the journal stays for survivorsAt.
  void detach();

  // The number of journal entries so far (cut points are 0 to steps()).
  long steps() const { return static_cast<long>(journal_.size()); }
  // The distinct images of root that a cut after the first step entries
  // may leave.
  std::vector<DiskImage> survivorsAt(long step) const;
  // The journal's entry step, for messages ("rename A B").
  std::string describe(long step) const;

  // What failAt() injects.
  enum Fault { kNoFault, kEIO, kENOSPC, kShortWrite };
  // The writes, syncs and folder syncs under root so far, in order: "write",
  // "sync" or "syncFolder" each.
  const std::vector<std::string>& calls() const { return calls_; }
  // Makes call number call (an index into calls()) fail with fault; a short
  // write on a sync is no fault.
  void failAt(long call, Fault fault);
  // Whether a file was synced again through a handle whose sync failed.
  bool resynced() const { return resynced_; }

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
  enum Kind { kWrote, kTruncated, kTouched, kSynced, kCreated, kRenamed, kRemoved, kFolderSynced };
  struct Entry {
    Kind kind = kWrote;
    long inode = -1;   // kWrote, kTruncated, kTouched, kSynced, kCreated
    std::string name;  // root-relative: kCreated, kRenamed (from), kRemoved; kFolderSynced's folder
    std::string target;           // kRenamed
    long offset = 0;              // kWrote; kTruncated's length
    std::string bytes;            // kWrote
    std::int64_t modifiedNs = 0;  // the file's time after the change
  };

  static Entry entry(Kind kind);
  // Sets *rel to name as a path relative to root ("." for root itself);
  // false when it lies outside root.
  bool relative(const std::string& name, std::string* rel) const;
  // The inode a root-relative name has now (-1: none).
  long inodeOf(const std::string& rel) const;
  // The file's modification time as the system reports it now.
  std::int64_t modifiedOf(int file);
  // Counts a call of kind under root; the fault injected there, if any.
  Fault nextCall(const char* kind);

  platform::Env* base_;
  platform::Env* previous_;
  bool attached_ = true;
  std::string root_;
  std::vector<std::string> initialNames_;  // inode i is initialNames_[i]
  std::vector<DiskFile> initial_;
  std::map<std::string, long> names_;  // what each name is now
  long inodes_ = 0;
  std::map<int, long> open_;  // handle -> inode, for files under root
  std::vector<Entry> journal_;
  std::vector<std::string> calls_;
  long faultAt_ = -1;
  Fault fault_ = kNoFault;
  std::set<int> failedSyncs_;  // handles
  bool resynced_ = false;
};

// Writes image into folder (which exists and holds nothing of it), times
// included.
void materialise(const DiskImage& image, const std::string& folder);
// The regular files under folder, times included.
DiskImage imageOf(const std::string& folder);

}  // namespace testsupport

#endif  // METDB_TESTS_SUPPORT_POWERCUTENV_H_
