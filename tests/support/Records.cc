#include "tests/support/Records.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#if defined(__x86_64__) && defined(__linux__)
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/user.h>
#define METDB_TRACE_CALLS 1
#endif
#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#endif

#include <cstring>

#include "directory/Directory.h"

namespace testsupport {

LocationData makeRecord(const char* continent, const char* country, const char* state,
                        const char* name, int level, float latitude, float longitude, int aux) {
  LocationData d;
  std::memset(static_cast<void*>(&d), 0, sizeof d);
  std::strncpy(d.continent, continent, sizeof d.continent - 1);
  std::strncpy(d.country, country, sizeof d.country - 1);
  std::strncpy(d.state, state, sizeof d.state - 1);
  std::strncpy(d.name, name, sizeof d.name - 1);
  d.level = static_cast<std::int8_t>(level);
  d.latitude = latitude;
  d.longitude = longitude;
  d.auxValue = static_cast<std::int16_t>(aux);
  d.seriesA[0] = static_cast<float>(aux);
  return d;
}

std::string bytesOf(const LocationData& record) {
  return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

std::string bytesOf(const std::vector<LocationData>& records) {
  std::string out;
  for (const LocationData& r : records) out += bytesOf(r);
  return out;
}

std::vector<LocationData> recordsOf(const std::string& bytes) {
  std::vector<LocationData> out(bytes.size() / sizeof(LocationData));
  if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof(LocationData));
  return out;
}

std::vector<long> walkIndices(Directory* directory) {
  std::vector<long> out;
  if (directory->IsEmpty()) return out;
  directory->first();
  do {
    out.push_back(directory->getLocationIndex());
  } while (directory->next());
  return out;
}

std::vector<std::string> walkPaths(Directory* d) {
  std::vector<std::string> out;
  if (d->IsEmpty()) return out;
  d->first();
  do {
    if (d->getLocationIndex() < 0) continue;
    out.push_back(*(*d->continents)[d->continentPos] + "/" + *(*d->curCountries)[d->countryPos] +
                  "/" + *(*d->curStates)[d->statePos] + "/" + d->getLocationName());
  } while (d->next());
  return out;
}

namespace {

int waitFor(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int runWithFileSizeLimit(off_t limit, const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit rl = {static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
    if (setrlimit(RLIMIT_FSIZE, &rl) != 0) _exit(99);
    _exit(body());
  }
  return waitFor(pid);
}

int runUnprivileged(const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(98);
    _exit(body());
  }
  return waitFor(pid);
}

#ifdef METDB_TRACE_CALLS
namespace {

// Whether the system call about to run (its number and arguments in regs)
// can change a file or folder.
bool changesFiles(const struct user_regs_struct& regs) {
  switch (regs.orig_rax) {
    case SYS_write:
    case SYS_pwrite64:
    case SYS_writev:
    case SYS_pwritev:
    case SYS_pwritev2:
    case SYS_rename:
    case SYS_renameat:
    case SYS_renameat2:
    case SYS_unlink:
    case SYS_unlinkat:
    case SYS_truncate:
    case SYS_ftruncate:
    case SYS_fsync:
    case SYS_fdatasync:
    case SYS_mkdir:
    case SYS_mkdirat:
    case SYS_rmdir:
    case SYS_chmod:
    case SYS_fchmod:
    case SYS_fchmodat:
    case SYS_creat:
    case SYS_link:
    case SYS_linkat:
    case SYS_symlink:
    case SYS_symlinkat:
      return true;
    case SYS_open:
      return (regs.rsi & (O_CREAT | O_TRUNC)) != 0;
    case SYS_openat:
      return (regs.rdx & (O_CREAT | O_TRUNC)) != 0;
    default:
      return false;
  }
}

}  // namespace
#endif

TracedRun runKilledAtCall(long killAt, const std::function<int()>& body) {
  TracedRun run;
#ifdef METDB_TRACE_CALLS
  pid_t pid = fork();
  if (pid == 0) {
    if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) _exit(97);
    raise(SIGSTOP);
    _exit(body());
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return run;
  if (!WIFSTOPPED(status)) {
    run.status = WIFEXITED(status) && WEXITSTATUS(status) != 97 ? WEXITSTATUS(status) : -2;
    return run;
  }
  ptrace(PTRACE_SETOPTIONS, pid, nullptr,
         PTRACE_O_TRACESYSGOOD | PTRACE_O_TRACEEXEC | PTRACE_O_EXITKILL);
  int deliver = 0;
  for (;;) {
    if (ptrace(PTRACE_SYSCALL, pid, nullptr, deliver) != 0) break;
    deliver = 0;
    if (waitpid(pid, &status, 0) != pid) break;
    if (WIFEXITED(status)) {
      run.status = WEXITSTATUS(status);
      return run;
    }
    if (WIFSIGNALED(status)) return run;
    if (!WIFSTOPPED(status)) continue;
    int sig = WSTOPSIG(status);
    if (sig == (SIGTRAP | 0x80)) {
      struct user_regs_struct regs;
      if (ptrace(PTRACE_GETREGS, pid, nullptr, &regs) != 0) break;
      // On entry the kernel has not yet set a result: rax holds -ENOSYS.
      bool entry = static_cast<long>(regs.rax) == -ENOSYS;
      if (entry && changesFiles(regs) && ++run.calls == killAt) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        run.killed = true;
        run.calls = killAt - 1;
        return run;
      }
    } else if (sig == SIGTRAP && (status >> 16) != 0) {
      // An exec (or other ptrace event): nothing to deliver.
    } else {
      deliver = sig;
    }
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  run.status = -2;
#else
  (void)killAt;
  (void)body;
  run.status = -2;
#endif
  return run;
}

bool underValgrind() {
#ifdef RUNNING_ON_VALGRIND
  return RUNNING_ON_VALGRIND != 0;
#else
  return false;
#endif
}

bool setModificationTime(const std::string& path, long seconds) {
  struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

}  // namespace testsupport
