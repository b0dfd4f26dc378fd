// The physical floor of each job: what the bare system calls cost for the
// bytes the job must move, with nothing on top. Reads go through a large
// buffer; point reads are pread on a descriptor opened once; writes that a
// job makes durable are synced and renamed into place as metdb does.
// Every function returns a checksum or byte count so that nothing is
// optimised away; a failing call ends the process.
#ifndef METDB_BENCH_PHYSICALFLOOR_H_
#define METDB_BENCH_PHYSICALFLOOR_H_

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "datafile/LocationData.h"

namespace bench {

class PhysicalFloor {
 public:
  static constexpr std::size_t kBuffer = 4u << 20;

  // Reads the whole file sequentially; returns the bytes read.
  static long readAll(const std::string& path) {
    int fd = openOrDie(path, O_RDONLY);
    std::vector<char> buffer(kBuffer);
    long total = 0;
    for (ssize_t got; (got = ::read(fd, buffer.data(), buffer.size())) > 0;) total += got;
    ::close(fd);
    return total;
  }

  // pread of each record index on a descriptor opened once; returns the sum
  // of the levels read.
  static long pointReads(const std::string& path, const std::vector<long>& indices) {
    int fd = openOrDie(path, O_RDONLY);
    LocationData r;
    long sum = 0;
    for (long i : indices) {
      if (::pread(fd, &r, sizeof r, i * kLocationDataSize) == kLocationDataSize) sum += r.level;
    }
    ::close(fd);
    return sum;
  }

  // Appends each record with its own write on a descriptor opened once.
  static long append(const std::string& path, const std::vector<LocationData>& records) {
    int fd = openOrDie(path, O_WRONLY | O_APPEND);
    long total = 0;
    for (const LocationData& r : records) total += ::write(fd, &r, sizeof r);
    ::close(fd);
    return total;
  }

  // Reads each input whole, writes `bytes` bytes to a new file beside
  // target, syncs it and renames it over target: the least that a
  // compaction or an import which replaces its file safely can do.
  static long rewrite(const std::vector<std::string>& inputs, const std::string& target,
                      long bytes) {
    long total = 0;
    for (const std::string& in : inputs) total += readAll(in);
    std::string temp = target + ".floor";
    int fd = openOrDie(temp, O_WRONLY | O_CREAT | O_TRUNC);
    std::vector<char> buffer(kBuffer, 'x');
    for (long at = 0; at < bytes;) {
      long n = std::min(static_cast<long>(buffer.size()), bytes - at);
      if (::write(fd, buffer.data(), static_cast<std::size_t>(n)) != n) die(temp);
      at += n;
    }
    if (::fsync(fd) != 0) die(temp);
    ::close(fd);
    if (::rename(temp.c_str(), target.c_str()) != 0) die(target);
    return total;
  }

 private:
  static int openOrDie(const std::string& path, int flags) {
    int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) die(path);
    return fd;
  }
  [[noreturn]] static void die(const std::string& path) {
    std::perror(path.c_str());
    std::exit(2);
  }
};

}  // namespace bench

#endif  // METDB_BENCH_PHYSICALFLOOR_H_
