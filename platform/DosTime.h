#ifndef METDB_PLATFORM_DOSTIME_H_
#define METDB_PLATFORM_DOSTIME_H_

#include <cstdint>
#include <ctime>

namespace platform {

// Packs a moment (seconds since the epoch) into the 32-bit MS-DOS date and
// time, taken in UTC: bits 31-25 years since 1980, 24-21 month, 20-16 day,
// 15-11 hours, 10-5 minutes, 4-0 seconds / 2. Later moments give greater
// values. Moments before 1980 pack as 1980-01-01 00:00:00; moments after
// 2107 pack as 2107-12-31 23:59:58.
std::uint32_t packDosTime(std::time_t utc);

}  // namespace platform

#endif  // METDB_PLATFORM_DOSTIME_H_
