#include "tool/text/BoundedInput.h"

#include <cstring>
#include <istream>

#include "tool/Error.h"
#include "tool/text/InputFile.h"

namespace metdb {

namespace {

// The memory that the system can give without swapping, from
// /proc/meminfo; 0 when it does not say.
unsigned long long availableMemory() {
  try {
    InputFile file("/proc/meminfo");
    std::istream in(&file);
    std::string key;
    unsigned long long kilobytes = 0;
    std::string unit;
    while (in >> key >> kilobytes >> unit) {
      if (key == "MemAvailable:") return kilobytes * 1024;
    }
  } catch (const Error&) {
    // A system without /proc says nothing.
  }
  return 0;
}

std::string megabytes(unsigned long long bytes) {
  return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

}  // namespace

BoundedInput::Limits BoundedInput::forFreeMemory() {
  Limits limits;
  unsigned long long free = availableMemory();
  // Where the system does not say, a limit that a list of every station
  // published fits in many times over.
  limits.budget = free != 0 ? free / 2 : 4ull << 30;
  return limits;
}

BoundedInput::BoundedInput(std::streambuf* source, Limits limits)
    : source_(source), limits_(limits) {}

BoundedInput::int_type BoundedInput::underflow() {
  if (!limitReached_.empty() || stopped_) return traits_type::eof();
  std::streamsize got = 0;
  try {
    got = source_->sgetn(block_, static_cast<std::streamsize>(kBlock));
  } catch (...) {
    stopped_ = std::current_exception();
    return traits_type::eof();
  }
  if (got <= 0) return traits_type::eof();
  const char* p = block_;
  const char* end = block_ + got;
  while (p < end) {
    const char* lf =
        static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    std::size_t part = static_cast<std::size_t>((lf != nullptr ? lf : end) - p);
    lineLength_ += part;
    if (limits_.maxLine != 0 && lineLength_ > limits_.maxLine) {
      limitReached_ = "the line is longer than " + std::to_string(limits_.maxLine) +
                      " bytes, the longest line read";
      return traits_type::eof();
    }
    if (lf == nullptr) break;
    ++lines_;
    lineLength_ = 0;
    p = lf + 1;
  }
  bytes_ += static_cast<unsigned long long>(got);
  if (limits_.budget != 0 &&
      bytes_ * limits_.bytesCost + lines_ * limits_.lineCost > limits_.budget) {
    limitReached_ = "the list is larger than the free memory allows reading (" + megabytes(bytes_) +
                    " in " + std::to_string(lines_) + " lines read when the limit of " +
                    megabytes(limits_.budget) + ", half of the free memory, was reached)";
    return traits_type::eof();
  }
  setg(block_, block_, block_ + got);
  return traits_type::to_int_type(block_[0]);
}

void BoundedInput::rethrowIfStopped() const {
  if (stopped_) std::rethrow_exception(stopped_);
}

}  // namespace metdb
