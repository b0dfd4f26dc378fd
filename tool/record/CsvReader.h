#ifndef METDB_TOOL_RECORD_CSVREADER_H_
#define METDB_TOOL_RECORD_CSVREADER_H_

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

namespace metdb {

// One record of a CSV text as CsvReader splits it.
struct CsvRecord {
  std::vector<std::string> fields;
  // Physical line (counted from 1) on which the record starts. A quoted field
  // that holds line breaks makes the next record start further down.
  long line = 0;
  // Empty for a well-formed record; otherwise what is wrong with the field
  // at errorField (counted from 0), as a phrase such as "has text after its
  // closing quote". The fields are still filled as far as they could be read.
  std::string error;
  std::size_t errorField = 0;
  // True when the error leaves the rest of the input unreadable (a quoted
  // field that never ends); no record follows one that is fatal.
  bool fatal = false;
};

// Splits text in the CSV format of RFC 4180 into records of fields, reading
// from a stream that the caller owns and keeps alive.
//
// Fields are separated by the delimiter (a comma unless the constructor is
// given another byte, such as ';' or a tab) and records by line breaks: CR
// LF, LF or a lone CR. A field that starts with a double quote is quoted: it
// runs to the next lone double quote and may hold delimiters, line breaks
// and doubled double quotes (each standing for one). A double quote inside
// an unquoted field is an ordinary character. Anything but a delimiter or a
// line break after the closing quote of a field makes the record faulty (the
// stray text is kept in the field). A UTF-8 byte order mark at the very
// start is skipped. Lines that hold nothing at all are not records. Bytes
// are passed through as they are; no character set is assumed. A record of
// more than kMaxFields fields is fatal.
class CsvReader {
 public:
  // More fields than any list has: a line of delimiters cannot make a
  // record of a million fields.
  static constexpr std::size_t kMaxFields = 1000;

  // delimiter must be neither a double quote nor a line break.
  explicit CsvReader(std::istream& in, char delimiter = ',');
  CsvReader(const CsvReader&) = delete;
  CsvReader& operator=(const CsvReader&) = delete;

  // Reads the next record into *record, replacing what it held. Returns false
  // when the input holds no further record (and after a fatal record).
  bool next(CsvRecord* record);

  // The physical line (from 1) that the reader has come to: after next()
  // returned false, the line on which the input ended.
  long line() const { return line_; }
  // Whether the reader has met the end of the input: after next() gave a
  // record, that the record ran to the very end rather than to a line break.
  bool inputEnded() const { return done_; }

 private:
  // The next byte, or -1 at the end of the input.
  int get();
  // The byte that get() would return, without taking it.
  int peek();
  // Takes the LF of a CR LF pair after a CR has been read, and counts the line.
  void endLine(int c);

  std::streambuf* buf_;
  int delimiter_;
  long line_ = 1;
  bool started_ = false;
  bool done_ = false;
};

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_CSVREADER_H_
