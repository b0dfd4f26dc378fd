// One measurement in a process of its own: the job runs in a forked child,
// which does its setup, times the part that counts with a Stopwatch and
// reports the time and its peak resident memory through a pipe. Each
// figure thus starts from the same small process, and the peak belongs to
// that job alone (the kernel's high-water mark is reset when the timing
// starts, so setup does not count unless it stays resident).
#ifndef METDB_BENCH_ISOLATEDRUN_H_
#define METDB_BENCH_ISOLATEDRUN_H_

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

namespace bench {

class IsolatedRun {
 public:
  struct Result {
    double ms = NAN;      // wall time of the timed part
    double cpuMs = NAN;   // CPU time (user and system) of the timed part
    double peakMB = NAN;  // peak resident memory while it ran
  };

  // Times one part of a job; start() resets the peak.
  class Stopwatch {
   public:
    void start() {
      std::ofstream("/proc/self/clear_refs") << "5";
      begin_ = std::chrono::steady_clock::now();
      cpuBegin_ = std::clock();
    }
    void stop() {
      auto end = std::chrono::steady_clock::now();
      result_.cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuBegin_) / CLOCKS_PER_SEC;
      result_.ms = std::chrono::duration<double, std::milli>(end - begin_).count();
      result_.peakMB = highWaterMark();
    }
    const Result& result() const { return result_; }

   private:
    std::chrono::steady_clock::time_point begin_;
    std::clock_t cpuBegin_ = 0;
    Result result_;
  };

  // Runs job(Stopwatch&) in a child. A child that fails (dies, or never
  // stops the watch) gives NaN figures.
  template <class Job>
  static Result run(Job job) {
    int fds[2];
    if (pipe(fds) != 0) return Result();
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid < 0) return Result();
    if (pid == 0) {
      close(fds[0]);
      Stopwatch watch;
      job(watch);
      Result r = watch.result();
      ssize_t written = write(fds[1], &r, sizeof r);
      std::fflush(nullptr);
      _exit(written == static_cast<ssize_t>(sizeof r) ? 0 : 1);  // no destructors, no atexit
    }
    close(fds[1]);
    Result r;
    if (read(fds[0], &r, sizeof r) != static_cast<ssize_t>(sizeof r)) r = Result();
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) r = Result();
    return r;
  }

 private:
  // VmHWM of /proc/self/status, in MiB.
  static double highWaterMark() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
      if (key == "VmHWM:") {
        double kb = 0;
        status >> kb;
        return kb / 1024.0;
      }
      status.ignore(1 << 16, '\n');
    }
    return NAN;
  }
};

}  // namespace bench

#endif  // METDB_BENCH_ISOLATEDRUN_H_
