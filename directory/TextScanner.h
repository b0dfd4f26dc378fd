#ifndef METDB_DIRECTORY_TEXTSCANNER_H_
#define METDB_DIRECTORY_TEXTSCANNER_H_

#include <cstddef>
#include <streambuf>
#include <string>

#include "directory/FileBuffer.h"

// Reads the directory file's text from a stream buffer: whole lines (LF or
// CR LF), counts and references, without per-line heap allocation. It reads
// through the buffer it is given and leaves the buffer right after what it
// consumed, so several scanners may take turns on one stream. The caller
// owns the buffer, which must outlive the scanner.
class TextScanner {
 public:
  // A scanner reading from in, which stays the caller's.
  explicit TextScanner(std::streambuf* in) : in_(in), file_(dynamic_cast<FileBuffer*>(in)) {}

  // Reads one line and stores its first maxChars characters in *out (a CR
  // that ends the line is not part of it); the rest of the line and its line
  // end are skipped. A last line without a line end counts. False at end of
  // input, when no line is left.
  bool readLine(std::string* out, std::size_t maxChars);
  // Skips the rest of the current line, its line end included.
  void skipLine();
  // Skips white space, line ends included, then reads a decimal integer
  // (optional sign, at least one digit). False when none is there or it
  // does not fit a long long.
  bool readInteger(long long* value);
  // As readInteger, but skips only the white space within the current line:
  // false at the line end.
  bool readIntegerOnLine(long long* value);

  // Parses, from [begin, end), a float, a float, an int and a long, each
  // after optional white space (as "%f%f%d%ld" does). False when any of the
  // four is missing or out of range; the rest of the text is ignored.
  static bool parseNumbers(const char* begin, const char* end, float* latitude, float* longitude,
                           int* level, long* index);

 private:
  // Reads digits after the white space has been skipped.
  bool readIntegerHere(long long* value);
  // readLine's and skipLine's work on a FileBuffer, a block at a time:
  // stores the line's first maxChars characters in *out unless out is null.
  void takeLine(std::string* out, std::size_t maxChars);

  std::streambuf* in_;
  FileBuffer* file_;  // in_ when it is a FileBuffer, else null
};

#endif  // METDB_DIRECTORY_TEXTSCANNER_H_
