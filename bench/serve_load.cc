// Load on a running metdb serve: CLIENTS threads, each with its own
// keep-alive connection, for SECONDS, mixing the three kinds of request a
// map page and a GIS client make: a page of a random 10-degree box, a find
// (q) of a name's start, and the 10 nearest to a random point. Prints the
// requests per second and the 50th and 99th percentile latency of each
// kind, and every failure (a status other than 200, or no answer).
//
//   bench_serve_load URL [SECONDS] [CLIENTS] [NAMES]
//
// NAMES: how many synthetic names "P0".."P<NAMES-1>" the database holds
// (bench/serve_load.sh makes such a database), from which q takes its
// prefixes. Run by bench/serve_load.sh, which starts the server beside
// add and compact.
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

enum Kind { kBox, kFind, kNear, kKinds };
const char* const kKindNames[kKinds] = {"bbox page", "q", "near"};

struct Tally {
  std::vector<double> ms[kKinds];
  long failed[kKinds] = {0, 0, 0};
};

double percentile(std::vector<double>& v, double p) {
  if (v.empty()) return 0;
  std::size_t at =
      std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())));
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(at), v.end());
  return v[at];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_serve_load URL [SECONDS] [CLIENTS] [NAMES]\n");
    return 2;
  }
  const std::string url = argv[1];
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
  const int clients = argc > 3 ? std::atoi(argv[3]) : 64;
  const long names = argc > 4 ? std::atol(argv[4]) : 1000000;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  std::vector<Tally> tallies(static_cast<std::size_t>(clients));
  std::vector<std::thread> threads;
  for (int c = 0; c < clients; ++c) {
    threads.emplace_back([&, c] {
      httplib::Client client(url);
      client.set_keep_alive(true);
      client.set_read_timeout(30, 0);
      std::mt19937_64 random(static_cast<unsigned long>(c) * 7919 + 1);
      std::uniform_real_distribution<double> lat(-80, 70), lon(-180, 170);
      Tally& tally = tallies[static_cast<std::size_t>(c)];
      char target[256];
      while (std::chrono::steady_clock::now() < end) {
        Kind kind = static_cast<Kind>(random() % kKinds);
        if (kind == kBox) {
          double s = lat(random), w = lon(random);
          std::snprintf(target, sizeof target,
                        "/collections/locations/items?bbox=%.3f,%.3f,%.3f,%.3f&limit=10", w, s,
                        w + 10, s + 10);
        } else if (kind == kFind) {
          // A name's first five characters: "P1234" matches P1234, P12340..
          std::snprintf(
              target, sizeof target, "/collections/locations/items?q=P%ld&limit=10",
              static_cast<long>(random() % static_cast<unsigned long>(names)) / 100 + 1000);
        } else {
          std::snprintf(target, sizeof target, "/collections/locations/items?near=%.3f,%.3f&k=10",
                        lat(random), lon(random));
        }
        auto start = std::chrono::steady_clock::now();
        auto result = client.Get(target);
        double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (!result || result->status != 200) {
          ++tally.failed[kind];
          if (tally.failed[kind] <= 3) {
            std::fprintf(stderr, "failed: %s: %s\n", target,
                         result ? std::to_string(result->status).c_str()
                                : httplib::to_string(result.error()).c_str());
          }
          continue;
        }
        tally.ms[kind].push_back(ms);
      }
    });
  }
  for (std::thread& t : threads) t.join();
  std::printf("%d clients, %d s\n%-10s %10s %8s %9s %9s %7s\n", clients, seconds, "kind",
              "requests", "per s", "p50 ms", "p99 ms", "failed");
  long total = 0, failed = 0;
  for (int k = 0; k < kKinds; ++k) {
    std::vector<double> all;
    long f = 0;
    for (Tally& t : tallies) {
      all.insert(all.end(), t.ms[k].begin(), t.ms[k].end());
      f += t.failed[k];
    }
    total += static_cast<long>(all.size());
    failed += f;
    std::printf("%-10s %10zu %8.0f %9.2f %9.2f %7ld\n", kKindNames[k], all.size(),
                static_cast<double>(all.size()) / seconds, percentile(all, 0.5),
                percentile(all, 0.99), f);
  }
  std::printf("%-10s %10ld %8.0f %9s %9s %7ld\n", "all", total,
              static_cast<double>(total) / seconds, "", "", failed);
  return failed == 0 ? 0 : 1;
}
