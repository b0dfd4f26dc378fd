#include "tool/database/ProgressInfo.h"

#include <algorithm>

#include "tool/CheckPoint.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

constexpr int kBarWidth = 30;
// The longest location text shown beside the bar, in characters.
constexpr std::size_t kWhereWidth = 40;

}  // namespace

ProgressInfo::ProgressInfo(std::ostream& bar, bool drawBar, long expected)
    : bar_(bar), drawBar_(drawBar), expected_(expected) {}

void ProgressInfo::finish() {
  if (barShown_) {
    bar_ << "\r\033[K" << std::flush;
    barShown_ = false;
  }
}

ProgressInfo::Line& ProgressInfo::lineFor(int line) {
  for (Line& l : lines_) {
    if (l.line == line) return l;
  }
  lines_.push_back({line, ""});
  return lines_.back();
}

void ProgressInfo::showText(const VELDstring& text, int line) { lineFor(line).text = text; }

void ProgressInfo::showNumber(long value, int line) { lineFor(line).number = value; }

void ProgressInfo::showLocation(const VELDstring& continent, const VELDstring& country,
                                const VELDstring& state, const VELDstring& location) {
  checkPoint();
  ++handled_;
  if (!drawBar_) return;
  long scale = std::max(expected_, handled_);
  int permille = static_cast<int>(handled_ * 1000 / scale);
  // Redraw only when the bar moves visibly, so that a large import is not
  // slowed down by its own progress display.
  if (permille == lastPermille_ && handled_ % 256 != 0) return;
  lastPermille_ = permille;
  draw(continent + "/" + country + "/" + state + "/" + location);
}

void ProgressInfo::draw(const std::string& where) {
  long scale = std::max(expected_, handled_);
  int filled = static_cast<int>(handled_ * kBarWidth / scale);
  bar_ << "\r\033[K[" << std::string(filled, '#') << std::string(kBarWidth - filled, '.') << "] "
       << handled_ << "/" << scale << "  " << text::fitWidth(where, kWhereWidth) << std::flush;
  barShown_ = true;
}

bool ProgressInfo::completed() const {
  for (const Line& l : lines_) {
    if (l.line == -1) return l.text == "Importing of data completed.";
  }
  return false;
}

long ProgressInfo::number(int line) const {
  for (const Line& l : lines_) {
    if (l.line == line) return l.number;
  }
  return -1;
}

void ProgressInfo::writeReport(std::ostream& out) const {
  std::vector<Line> sorted = lines_;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Line& a, const Line& b) { return a.line < b.line; });
  for (const Line& l : sorted) {
    out << l.text;
    if (l.number >= 0) out << (l.text.empty() ? "" : " ") << l.number;
    out << '\n';
  }
}

}  // namespace metdb
