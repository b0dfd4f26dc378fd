#ifndef METDB_TOOL_TEXT_BOUNDEDINPUT_H_
#define METDB_TOOL_TEXT_BOUNDEDINPUT_H_

#include <cstddef>
#include <exception>
#include <streambuf>
#include <string>

namespace metdb {

// Another stream buffer's bytes, ended early when the input grows past what
// the reader can hold: a line longer than maxLine bytes, or more bytes and
// lines than the free memory allows for what is built from them. It also
// ends the input when reading the source throws (a check point stopping the
// work), which the readers above, being streams, would take for the end of
// the input. After reading, rethrowIfStopped() rethrows that exception, and
// limitReached() says which limit ended the input. The source is the
// caller's and outlives this object.
class BoundedInput : public std::streambuf {
 public:
  struct Limits {
    // The longest line, in bytes; 0: no limit (a JSON text may be one line).
    std::size_t maxLine = std::size_t(1) << 20;
    // What reading is allowed to cost: each byte costs bytesCost, each line
    // lineCost more, for what is built from them; a budget of 0 is none.
    unsigned long long budget = 0;
    unsigned bytesCost = 2;
    unsigned lineCost = 1024;
  };

  // Limits whose budget is half of the memory now free (as the system
  // counts what it can give without swapping).
  static Limits forFreeMemory();

  BoundedInput(std::streambuf* source, Limits limits);
  BoundedInput(const BoundedInput&) = delete;
  BoundedInput& operator=(const BoundedInput&) = delete;

  // For formats read whole into a document (JSON), whose one line may be
  // the whole input: lifts the line limit, and each byte costs bytesCost.
  void readWhole(unsigned bytesCost) {
    limits_.maxLine = 0;
    limits_.bytesCost = bytesCost;
  }

  // Rethrows what the source threw, if it did.
  void rethrowIfStopped() const;
  // Empty when no limit was reached; otherwise the limit, as a phrase
  // without a period, such as "the line is longer than 1048576 bytes, the
  // longest line read", and the line (from 1) at which it was reached.
  const std::string& limitReached() const { return limitReached_; }
  long limitLine() const { return static_cast<long>(lines_ + 1); }

 protected:
  int_type underflow() override;

 private:
  std::streambuf* source_;
  Limits limits_;
  std::size_t lineLength_ = 0;
  unsigned long long bytes_ = 0, lines_ = 0;
  std::string limitReached_;
  std::exception_ptr stopped_;
  static constexpr std::size_t kBlock = 1 << 16;
  char block_[kBlock];
};

}  // namespace metdb

#endif  // METDB_TOOL_TEXT_BOUNDEDINPUT_H_
