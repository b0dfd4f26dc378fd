#include "cli/ProgressLine.h"

#include "tool/text/Text.h"

namespace metdb {

namespace {
constexpr auto kQuietStart = std::chrono::milliseconds(500);
constexpr auto kRedraw = std::chrono::milliseconds(100);
constexpr std::size_t kTaskWidth = 40;
}  // namespace

ProgressLine::ProgressLine(std::ostream& out) : out_(out) {}

void ProgressLine::show(const std::string& task, long done, long total) {
  Clock::time_point now = Clock::now();
  if (!running_) {
    running_ = true;
    started_ = now;
  }
  bool counting = total != kNoCount;
  if (counting && (now - started_ < kQuietStart || (shown_ && now - lastDrawn_ < kRedraw))) return;
  lastDrawn_ = now;
  std::string line = text::fitWidth(task, kTaskWidth);
  if (!counting) {
    line += "...";
  } else if (total > 0) {
    long percent =
        static_cast<long>(100.0 * static_cast<double>(done) / static_cast<double>(total));
    line += "  " + text::padLeft(std::to_string(std::min(percent, 100L)), 3) + "%  " +
            std::to_string(done) + "/" + std::to_string(total);
  } else {
    line += "  " + std::to_string(done);
  }
  // Carriage return, the line, then erase what a longer line left behind.
  out_ << '\r' << line << "\x1b[K" << std::flush;
  shown_ = true;
}

void ProgressLine::clear() {
  if (!shown_) return;
  out_ << "\r\x1b[K" << std::flush;
  shown_ = false;
  running_ = false;
}

OutputBesideProgress::OutputBesideProgress(std::ostream& out)
    : out_(out), target_(out.rdbuf(this)) {}

OutputBesideProgress::~OutputBesideProgress() { out_.rdbuf(target_); }

OutputBesideProgress::int_type OutputBesideProgress::overflow(int_type c) {
  eraseProgress();
  return target_->sputc(traits_type::to_char_type(c));
}

std::streamsize OutputBesideProgress::xsputn(const char* s, std::streamsize n) {
  eraseProgress();
  return target_->sputn(s, n);
}

int OutputBesideProgress::sync() { return target_->pubsync(); }

}  // namespace metdb
