#ifndef METDB_TOOL_TEXT_INPUTFILE_H_
#define METDB_TOOL_TEXT_INPUTFILE_H_

#include <streambuf>
#include <string>

namespace platform {
class Env;
}

namespace metdb {

// A file read as text input: a stream buffer over a file of the current
// platform::Env (the seam under all the tool's files). A named
// file is opened without blocking (a FIFO's open waits for no writer) and
// must be a regular file, as its descriptor says, so that a name swapped
// for a FIFO or a device after any earlier look is refused rather than
// read. Standard input may be anything; reading it waits a tenth of a
// second at a time and calls checkPoint() between, so that a front end can
// stop a read from an idle pipe or terminal. A read error ends the input
// and is kept (fault()).
class InputFile : public std::streambuf {
 public:
  // The name that stands for standard input.
  static constexpr const char* kStandardInput = "-";

  // Opens path (or standard input for "-"). Throws Error, naming the file,
  // when it cannot be opened or is not a regular file.
  explicit InputFile(const std::string& path);
  ~InputFile() override;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Empty, or why reading stopped early (a sentence).
  const std::string& fault() const { return fault_; }
  // The size of a named file; 0 for standard input.
  long long size() const { return size_; }
  // Reads up to n bytes at offset of a named file, apart from the stream;
  // the count read, short at the end or on a read error.
  std::size_t readAt(long long offset, char* buf, std::size_t n) const;

 protected:
  int_type underflow() override;

 private:
  // Waits until the descriptor has bytes or ends, calling checkPoint() each
  // tenth of a second.
  void waitForInput();

  std::string name_;
  platform::Env* env_;
  int fd_ = -1;
  long long offset_ = 0;  // of the next read of a named file
  bool owned_ = false;
  long long size_ = 0;
  std::string fault_;
  static constexpr std::size_t kBlock = 1 << 16;
  char block_[kBlock];
};

}  // namespace metdb

#endif  // METDB_TOOL_TEXT_INPUTFILE_H_
