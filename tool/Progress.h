#ifndef METDB_TOOL_PROGRESS_H_
#define METDB_TOOL_PROGRESS_H_

#include <string>

namespace metdb {

// Where long work shows how far it got. The program installs one (a line
// on a terminal) or none; the tool's library only reports.
class ProgressDisplay {
 public:
  static constexpr long kNoCount = -1;

  virtual ~ProgressDisplay() = default;
  // task: what is being done, e.g. "Reading records"; total 0 when
  // unknown, kNoCount for work that cannot count its steps (it is shown at
  // once, as "task...").
  // Called often (a thousand times over a task at most, and every few
  // thousand items when the total is unknown): a display draws only now
  // and then.
  virtual void show(const std::string& task, long done, long total) = 0;
  // The work is over: remove what was shown.
  virtual void clear() = 0;
};

// Sets the display for the whole process (null: none, the default). The
// display is the caller's and must outlive its use.
void setProgressDisplay(ProgressDisplay* display);

// Removes what the display shows, so that a message can be written on
// the same stream; the display draws again at its next report.
void eraseProgress();

// One piece of long work, for as long as the object lives. Tasks may nest
// (a command reads records inside its own task); the display is cleared
// when the outermost one ends. Cheap when no display is set.
class Progress {
 public:
  // total: the number of items, 0 when unknown, or ProgressDisplay::kNoCount.
  Progress(std::string task, long total);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Counts one more item done (or by).
  void advance(long by = 1) {
    done_ += by;
    if (done_ >= next_) report();
  }

 private:
  void report();

  std::string task_;
  long total_;
  long done_ = 0;
  long next_ = 0;
  long step_;
};

}  // namespace metdb

#endif  // METDB_TOOL_PROGRESS_H_
