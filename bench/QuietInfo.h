#ifndef METDB_BENCH_QUIETINFO_H_
#define METDB_BENCH_QUIETINFO_H_

#include "datafile/InfoDevice.h"

// An InfoDevice that shows nothing, so that benchmarks time the work and
// not its progress report.
class QuietInfo : public InfoDevice {
 public:
  void finish() override {}
  void showText(const VELDstring&, int) override {}
  void showLocation(const VELDstring&, const VELDstring&, const VELDstring&,
                    const VELDstring&) override {}
  void showNumber(long, int) override {}
};

#endif  // METDB_BENCH_QUIETINFO_H_
