#ifndef METDB_PYTHON_PYTHONERRORS_H_
#define METDB_PYTHON_PYTHONERRORS_H_

#include <pybind11/pybind11.h>

#include <string>

#include "tool/Error.h"

namespace metdb {
namespace python {

// The kinds of failure that the module's exception classes tell apart.
// Each is a subclass of metdb.Error, defined in metdb/__init__.py.
enum class ErrorKind {
  kGeneral,   // metdb.Error
  kNotFound,  // metdb.NotFoundError: no such database, location or record
  kBusy,      // metdb.BusyError: another process kept the database locked
  kBadInput,  // metdb.BadInputError: a value, path, filter or list that is wrong
  kReadOnly,  // metdb.ReadOnlyError: a change asked of a read-only database
  kClosed,    // metdb.ClosedError: the database was closed
};

// A failure found by the binding itself (not by the tool), with its kind;
// what() is one sentence, as the tool's own errors are.
class BindingError : public std::runtime_error {
 public:
  BindingError(ErrorKind kind, const std::string& sentence)
      : std::runtime_error(sentence), kind_(kind) {}
  ErrorKind kind() const { return kind_; }

 private:
  ErrorKind kind_;
};

// Registers the translation of the tool's failures into the module's
// exception classes: metdb::Error by the cause its sentence names,
// BindingError by its kind, and the library's BMTFile* (a record that
// could no longer be read) as metdb.Error. Also makes the tool's check
// points (metdb::checkPoint) raise KeyboardInterrupt when Ctrl-C arrives
// while the module works, so long work stops and unwinds as the tool's
// does. Call once, at import.
void registerErrorTranslation();

// Issues a Python warning of class metdb.MetdbWarning with the sentence. Throws
// pybind11::error_already_set when the warnings filter turns it into an
// error.
void warn(const std::string& sentence);

// The same for a warning the tool's library gives in the middle of its
// work (through a callback), which must not unwind it for a warning: one
// that the warnings filter turns into an error is dropped. A
// KeyboardInterrupt (or other BaseException) raised by the code that shows
// it still stops the work, as at a check point.
void warnDuringWork(const std::string& sentence);

// The exception class for an error of the tool's library.
ErrorKind kindOfToolError(const Error& error);

}  // namespace python
}  // namespace metdb

#endif  // METDB_PYTHON_PYTHONERRORS_H_
