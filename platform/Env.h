#ifndef METDB_PLATFORM_ENV_H_
#define METDB_PLATFORM_ENV_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Export.h"
#include "platform/FileStamp.h"

namespace platform {

// What the file system says of a file or folder.
struct FileStatus {
  // What kind of thing stands under a name.
  enum Kind { kMissing, kRegular, kFolder, kOther, kFifo, kDevice, kSocket };
  Kind kind = kMissing;      // kMissing: nothing there; kOther: a link not followed
  unsigned permissions = 0;  // the mode's 07777 bits
  FileStamp stamp;           // identity, length, last change
};

// The library's and the tool's one way to the operating system's files,
// folders, locks, clocks and environment. Everything that reads, writes,
// syncs, renames or removes a file calls the current Env, so that a test
// can put another file system under the whole program (one that fails on
// demand, or that forgets what was not synced, as a power cut does).
//
// Open files are small non-negative handles, as descriptors are: the
// library's File keeps one int, which is part of the layout of classes that
// hosts were built against. A handle belongs to the Env that opened it.
//
// Failures return -1 or false and leave the reason in errno, as the system
// calls do, so that callers name it the same way whichever Env answered.
// EINTR is retried inside. An Env is used by one thread at a time, like the
// rest of the library.
class METDB_EXPORT Env {
 public:
  // Flags of open(); kRead alone opens an existing file for reading only.
  enum OpenFlags : unsigned {
    kRead = 0,
    kReadWrite = 1u << 0,    // for writing too
    kCreate = 1u << 1,       // created when missing (mode less the umask)
    kExclusive = 1u << 2,    // with kCreate: fails with EEXIST when there is one
    kTruncate = 1u << 3,     // emptied when opened
    kNoFollow = 1u << 4,     // a symbolic link as the last part fails (ELOOP)
    kNonBlocking = 1u << 5,  // a FIFO does not hang the open; see setBlocking()
  };
  // What lock() sets on a byte: none, a shared lock, or an exclusive one.
  enum LockKind { kUnlock, kShared, kExclusiveLock };

  Env() = default;
  virtual ~Env();
  Env(const Env&) = delete;
  Env& operator=(const Env&) = delete;

  // The operating system's own file system (POSIX). Never destroyed.
  static Env* Default();
  // The Env that the library and the tool use now: Default() unless a test
  // substituted another.
  static Env* current();
  // Makes env current (nullptr: Default()) and returns the one it replaces.
  // Files opened through the previous Env must be closed first; the caller
  // owns env and keeps it alive while it is current.
  static Env* substitute(Env* env);

  // --- open files ----------------------------------------------------------
  // Opens name with flags (OpenFlags) and, when created, mode. A handle, or
  // -1 with errno set.
  virtual int open(const std::string& name, unsigned flags, unsigned mode) = 0;
  // Reads up to n bytes at offset: the number read (0 at the end of the
  // file, fewer than n when that comes first), or -1.
  virtual long read(int file, void* buf, std::size_t n, long offset) = 0;
  // Writes up to n bytes at offset: the number written (at least one, may
  // be fewer than n), or -1.
  virtual long write(int file, const void* buf, std::size_t n, long offset) = 0;
  // Cuts or extends the file to length bytes.
  virtual bool truncate(int file, long length) = 0;
  // Makes the file's data and length durable: until this returns true,
  // nothing written may be taken as stored. A false is final: what was
  // written must be treated as lost, never synced again as if it were safe.
  virtual bool sync(int file) = 0;
  // What the open file is.
  virtual bool status(int file, FileStatus* status) = 0;
  // Clears kNonBlocking, once the caller has seen the file is regular.
  virtual bool setBlocking(int file) = 0;
  // Sets the permission bits (07777).
  virtual bool setPermissions(int file, unsigned permissions) = 0;
  // Sets the last modification time (ns since the epoch); the access time
  // is left alone.
  virtual bool setModified(int file, std::int64_t modifiedNs) = 0;
  // Sets a lock on byte slot of the file, held through this handle (not the
  // process), without waiting. False with errno EAGAIN when another handle
  // holds a conflicting lock.
  virtual bool lock(int file, int slot, LockKind kind) = 0;
  // Sets *held to the lock that another handle holds on byte slot in the
  // way of kind (kUnlock: none). False when the system cannot tell (the
  // default, for file systems without such a question).
  virtual bool lockHeld(int file, int slot, LockKind kind, LockKind* held);
  // Closes the handle, dropping its locks; the handle is gone even when this
  // reports an error.
  virtual bool close(int file) = 0;

  // --- streams -------------------------------------------------------------
  // The handle of the process's standard input (a pipe, a terminal or a
  // file), open for the life of the process: never to be closed.
  virtual int standardInput() = 0;
  // Reads up to n bytes at the file's current position, as a pipe or a
  // terminal is read: the number read (0 at the end), or -1 (errno EAGAIN
  // when the file does not block and has nothing yet).
  virtual long readNext(int file, void* buf, std::size_t n) = 0;
  // Waits up to milliseconds for the file to have bytes or to end. False
  // when the time ran out; true otherwise, also when the wait itself failed
  // (the next read then tells why).
  virtual bool waitReadable(int file, int milliseconds) = 0;

  // --- names ---------------------------------------------------------------
  // What name is (followLinks: what a symbolic link points to). A missing
  // file is no failure: status->kind is then kMissing and the result true.
  virtual bool statusOf(const std::string& name, FileStatus* status, bool followLinks) = 0;
  // Renames from over to, replacing to atomically. Durable only once the
  // folder is synced.
  virtual bool rename(const std::string& from, const std::string& to) = 0;
  // Removes a file (not a folder).
  virtual bool remove(const std::string& name) = 0;
  // Sets the permission bits of name.
  virtual bool setPermissionsOf(const std::string& name, unsigned permissions) = 0;
  // Makes a folder (fails with EEXIST when name exists).
  virtual bool makeFolder(const std::string& name, unsigned mode) = 0;
  // Removes an empty folder.
  virtual bool removeFolder(const std::string& name) = 0;
  // The names in folder, without "." and "..", in no particular order.
  virtual bool listFolder(const std::string& folder, std::vector<std::string>* names) = 0;
  // Makes the creations, renames and removals in folder durable. A file
  // system that keeps no folder data to sync counts as success.
  virtual bool syncFolder(const std::string& folder) = 0;

  // --- the process ---------------------------------------------------------
  // Random bits for names that no other process can guess.
  virtual std::uint64_t random() = 0;
  // Now, in ns since the epoch.
  virtual std::int64_t nowNs() = 0;
  // Seconds on a clock that only moves forward, from an arbitrary start.
  virtual double monotonicSeconds() = 0;
  // Waits for about milliseconds.
  virtual void sleepMilliseconds(int milliseconds) = 0;
  // The environment variable name; "" when unset.
  virtual std::string variable(const std::string& name) = 0;
  // The running program's own file; "" when unknown.
  virtual std::string programFile() = 0;

  // --- built on the above --------------------------------------------------
  // Creates a new file "PREFIX" + six random letters and digits in folder
  // ("" = the current one) with kCreate|kExclusive|kNoFollow, so that no
  // other process can take or redirect the name; another name is tried
  // while one is taken. Returns the handle (open for reading and writing)
  // and sets *path, or -1 with errno set.
  int createUnique(const std::string& folder, const std::string& prefix, unsigned mode,
                   std::string* path);
  // Creates a new folder "PREFIX" + six random characters in parent, open to
  // its owner only, in the same way. False with errno set.
  bool createUniqueFolder(const std::string& parent, const std::string& prefix, std::string* path);
  // Removes name and, when it is a folder, everything in it (links are not
  // followed). False when something stayed.
  bool removeAll(const std::string& name);
  // Gives the open file the permission bits of the regular file model, asked
  // of the file itself (opened without blocking on a FIFO and without
  // following a link, so that a planted link lends no target's bits). False
  // when there is no such regular file or the bits cannot be set.
  bool takePermissions(int file, const std::string& model);
  // What name is, links followed; kMissing also when it cannot be asked.
  FileStatus::Kind kindOf(const std::string& name);
  // The length of the file name, links followed; -1 when it cannot be asked.
  long long sizeOf(const std::string& name);
  // The folder of the system's temporary files: TMPDIR when set and not
  // empty, otherwise "/tmp".
  std::string tempFolder();
};

}  // namespace platform

#endif  // METDB_PLATFORM_ENV_H_
