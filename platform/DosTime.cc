#include "platform/DosTime.h"

#include <time.h>

namespace platform {

namespace {

constexpr std::uint32_t kEarliest = (1u << 21) | (1u << 16);  // 1980-01-01 00:00:00
constexpr std::uint32_t kLatest = (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) |
                                  (59u << 5) | 29u;  // 2107-12-31 23:59:58
constexpr std::time_t k1980 = 315532800;             // 1980-01-01 00:00:00 UTC

}  // namespace

std::uint32_t packDosTime(std::time_t utc) {
  if (utc < k1980) return kEarliest;
  struct tm t;
  // UTC, never local time: a local stamp would step back by an hour at the
  // end of daylight saving time and make a fresh file look older.
  if (gmtime_r(&utc, &t) == nullptr) return kLatest;  // beyond what tm can hold
  int years = t.tm_year - 80;
  if (years > 127) return kLatest;
  return (static_cast<std::uint32_t>(years) << 25) |
         (static_cast<std::uint32_t>(t.tm_mon + 1) << 21) |
         (static_cast<std::uint32_t>(t.tm_mday) << 16) |
         (static_cast<std::uint32_t>(t.tm_hour) << 11) |
         (static_cast<std::uint32_t>(t.tm_min) << 5) | static_cast<std::uint32_t>(t.tm_sec / 2);
}

}  // namespace platform
