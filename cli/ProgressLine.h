#ifndef METDB_CLI_PROGRESSLINE_H_
#define METDB_CLI_PROGRESSLINE_H_

#include <chrono>
#include <ostream>
#include <streambuf>
#include <string>

#include "tool/Progress.h"

namespace metdb {

// Progress as one line on a terminal, redrawn in place at most ten times a
// second: "Reading records  45%  450000/1000000", or the count alone when
// the total is unknown. Nothing is drawn during the first half second of
// counted work, so quick commands print nothing extra; work that cannot
// count shows "task..." at once. The stream is the caller's (the
// terminal's standard error) and outlives the object.
class ProgressLine : public ProgressDisplay {
 public:
  explicit ProgressLine(std::ostream& out);

  void show(const std::string& task, long done, long total) override;
  void clear() override;

 private:
  using Clock = std::chrono::steady_clock;
  std::ostream& out_;
  Clock::time_point started_;
  Clock::time_point lastDrawn_;
  bool running_ = false;
  bool shown_ = false;
};

// Standard output's buffer while progress is shown on the same terminal:
// each write first erases the progress line, so that rows never run into
// it. Installs itself on out for as long as it lives; out is the caller's
// and outlives it.
class OutputBesideProgress : public std::streambuf {
 public:
  explicit OutputBesideProgress(std::ostream& out);
  ~OutputBesideProgress() override;
  OutputBesideProgress(const OutputBesideProgress&) = delete;
  OutputBesideProgress& operator=(const OutputBesideProgress&) = delete;

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  std::ostream& out_;
  std::streambuf* target_;
};

}  // namespace metdb

#endif  // METDB_CLI_PROGRESSLINE_H_
