#ifndef METDB_TOOL_DATABASE_PROGRESSINFO_H_
#define METDB_TOOL_DATABASE_PROGRESSINFO_H_

#include <ostream>
#include <string>
#include <vector>

#include "datafile/InfoDevice.h"

namespace metdb {

// The tool's InfoDevice for an import (BMTFile::merge): a progress bar with
// a count and the current location while the import runs, and the closing
// report it receives afterwards.
//
// The bar is drawn on `bar` (one line, redrawn in place with a carriage
// return) only when drawBar is set, which the caller does when that stream
// is a terminal; it is erased when the import finishes. The report is kept
// and written by writeReport, so a command that runs the import quietly
// can still tell whether it completed. Both streams are the caller's and
// outlive the object.
//
// Every record the import shows is a check point of the tool's interruption
// (stopIfInterrupted): the Interrupted thrown there passes out of
// BMTFile::merge, which first removes its unfinished files and reports the
// failure to this device, so the bar is erased and the database stays as it
// was.
class ProgressInfo : public InfoDevice {
 public:
  // expected: how many records the import may handle at most (the records
  // of both databases), for the bar's scale; 0 when unknown.
  ProgressInfo(std::ostream& bar, bool drawBar, long expected);

  // Sets the bar's scale once the number of records is known.
  void expect(long expected) { expected_ = expected; }

  void finish() override;
  void showText(const VELDstring& text, int line) override;
  void showLocation(const VELDstring& continent, const VELDstring& country, const VELDstring& state,
                    const VELDstring& location) override;
  void showNumber(long value, int line) override;

  // Whether the import reported that it completed ("Importing of data
  // completed."). False when it failed or never reported at all.
  bool completed() const;
  // Whether the import reported anything at all.
  bool reported() const { return !lines_.empty(); }
  // The number shown on a report line (0: total, 1: new, 2: replaced), or
  // -1 when none was shown.
  long number(int line) const;
  // Records handled so far (showLocation calls).
  long handled() const { return handled_; }

  // Writes the closing report, one line per report line: the heading, then
  // each text and its number, such as "Total Locations: 312".
  void writeReport(std::ostream& out) const;

 private:
  struct Line {
    int line;
    std::string text;
    long number = -1;
  };
  Line& lineFor(int line);
  void draw(const std::string& where);

  std::ostream& bar_;
  bool drawBar_;
  long expected_;
  long handled_ = 0;
  int lastPermille_ = -1;
  bool barShown_ = false;
  std::vector<Line> lines_;
};

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_PROGRESSINFO_H_
