#include "tool/record/CsvReader.h"

namespace metdb {

namespace {

constexpr int kEnd = -1;

}  // namespace

CsvReader::CsvReader(std::istream& in, char delimiter)
    : buf_(in.rdbuf()), delimiter_(static_cast<unsigned char>(delimiter)) {}

int CsvReader::get() {
  if (buf_ == nullptr) return kEnd;
  int c = buf_->sbumpc();
  return c == std::streambuf::traits_type::eof() ? kEnd : c;
}

int CsvReader::peek() {
  if (buf_ == nullptr) return kEnd;
  int c = buf_->sgetc();
  return c == std::streambuf::traits_type::eof() ? kEnd : c;
}

void CsvReader::endLine(int c) {
  if (c == '\r' && peek() == '\n') get();
  ++line_;
}

bool CsvReader::next(CsvRecord* record) {
  record->fields.clear();
  record->error.clear();
  record->errorField = 0;
  record->fatal = false;
  if (done_) return false;

  if (!started_) {
    started_ = true;
    // A byte order mark is only recognised whole; a partial one is text.
    if (peek() == 0xEF) {
      get();
      if (peek() == 0xBB) {
        get();
        if (peek() == 0xBF) {
          get();
        } else {
          record->fields.push_back("\xEF\xBB");
        }
      } else {
        record->fields.push_back("\xEF");
      }
    }
  }

  // Lines with nothing on them are skipped, unless a partial byte order mark
  // already started this record.
  if (record->fields.empty()) {
    for (;;) {
      int c = peek();
      if (c == kEnd) {
        done_ = true;
        return false;
      }
      if (c != '\r' && c != '\n') break;
      endLine(get());
    }
    record->fields.emplace_back();
  }
  record->line = line_;

  for (;;) {
    std::string& field = record->fields.back();
    int c = get();
    if (c == '"' && field.empty()) {
      // A quoted field: it may span lines, so keep counting them.
      long startLine = line_;
      for (;;) {
        c = get();
        if (c == kEnd) {
          record->error =
              "opens a quote on line " + std::to_string(startLine) + " that is never closed";
          record->errorField = record->fields.size() - 1;
          record->fatal = true;
          done_ = true;
          return true;
        }
        if (c == '"') {
          if (peek() == '"') {
            get();
            field.push_back('"');
            continue;
          }
          break;
        }
        if (c == '\r' || c == '\n') {
          field.push_back(static_cast<char>(c));
          if (c == '\r' && peek() == '\n') field.push_back(static_cast<char>(get()));
          ++line_;
          continue;
        }
        field.push_back(static_cast<char>(c));
      }
      // After the closing quote only a separator or the end may follow.
      c = peek();
      if (c != delimiter_ && c != '\r' && c != '\n' && c != kEnd) {
        if (record->error.empty()) {
          record->error = "has text after its closing quote";
          record->errorField = record->fields.size() - 1;
        }
        // Keep the stray text in the field up to the next separator so that
        // the following fields and records are still found.
        while ((c = peek()) != delimiter_ && c != '\r' && c != '\n' && c != kEnd) {
          field.push_back(static_cast<char>(get()));
        }
      }
      continue;
    }
    if (c == delimiter_) {
      if (record->fields.size() == kMaxFields) {
        record->error = "is past the " + std::to_string(kMaxFields) + " fields that a row may have";
        record->errorField = kMaxFields - 1;
        record->fatal = true;
        done_ = true;
        return true;
      }
      record->fields.emplace_back();
      continue;
    }
    if (c == '\r' || c == '\n') {
      endLine(c);
      return true;
    }
    if (c == kEnd) {
      done_ = true;
      return true;
    }
    field.push_back(static_cast<char>(c));
  }
}

}  // namespace metdb
