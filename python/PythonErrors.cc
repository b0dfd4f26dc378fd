#include "python/PythonErrors.h"

#include <Python.h>

#include "datafile/BMTFile.h"
#include "tool/CheckPoint.h"
#include "tool/Error.h"

namespace py = pybind11;

namespace metdb {
namespace python {

namespace {

// Thrown at a check point when Python has a pending KeyboardInterrupt (or
// whatever exception a signal handler raised). Like the tool's own
// Interrupted it derives from no standard exception, so code that handles
// std::exception does not take it for an error and go on; the exception
// itself waits in pendingInterruption until the translator restores it.
struct PythonInterrupted {};

PyObject* pendingType = nullptr;
PyObject* pendingValue = nullptr;
PyObject* pendingTrace = nullptr;

// The check point's hook. The module keeps the GIL while it works, so
// Python's signal handlers may run here.
void stopIfPythonInterrupted() {
  if (PyErr_CheckSignals() == 0) return;
  PyErr_Fetch(&pendingType, &pendingValue, &pendingTrace);
  throw PythonInterrupted();
}

const char* className(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::kGeneral:
      return "Error";
    case ErrorKind::kNotFound:
      return "NotFoundError";
    case ErrorKind::kBusy:
      return "BusyError";
    case ErrorKind::kBadInput:
      return "BadInputError";
    case ErrorKind::kReadOnly:
      return "ReadOnlyError";
    case ErrorKind::kClosed:
      return "ClosedError";
  }
  return "Error";
}

void raise(ErrorKind kind, const std::string& sentence) {
  // The classes live in the package, so that they can take Python bases
  // (LookupError, ValueError) beside metdb.Error.
  py::object cls = py::module_::import("metdb").attr(className(kind));
  PyErr_SetString(cls.ptr(), sentence.c_str());
}

}  // namespace

ErrorKind kindOfToolError(const Error& error) {
  switch (error.cause()) {
    case Error::Cause::kNotFound:
      return ErrorKind::kNotFound;
    case Error::Cause::kBusy:
      return ErrorKind::kBusy;
    case Error::Cause::kBadInput:
      return ErrorKind::kBadInput;
    case Error::Cause::kReadOnly:
      return ErrorKind::kReadOnly;
    case Error::Cause::kDamaged:
    case Error::Cause::kSystem:
    case Error::Cause::kOther:
      break;
  }
  return ErrorKind::kGeneral;
}

void registerErrorTranslation() {
  setCheckPointHook(&stopIfPythonInterrupted);
  py::register_exception_translator([](std::exception_ptr failure) {
    try {
      std::rethrow_exception(failure);
    } catch (const PythonInterrupted&) {
      PyErr_Restore(pendingType, pendingValue, pendingTrace);
      pendingType = pendingValue = pendingTrace = nullptr;
    } catch (const BindingError& e) {
      raise(e.kind(), e.what());
    } catch (const Error& e) {
      raise(kindOfToolError(e), e.what());
    } catch (BMTFile* db) {
      Error lost = lostDataFile(db->fileName);
      raise(kindOfToolError(lost), lost.what());
    }
  });
}

void warn(const std::string& sentence) {
  py::object cls = py::module_::import("metdb").attr("MetdbWarning");
  if (PyErr_WarnEx(cls.ptr(), sentence.c_str(), 1) != 0) throw py::error_already_set();
}

void warnDuringWork(const std::string& sentence) {
  py::object cls = py::module_::import("metdb").attr("MetdbWarning");
  if (PyErr_WarnEx(cls.ptr(), sentence.c_str(), 1) == 0) return;
  if (PyErr_ExceptionMatches(PyExc_Exception)) {
    PyErr_Clear();
    return;
  }
  PyErr_Fetch(&pendingType, &pendingValue, &pendingTrace);
  throw PythonInterrupted();
}

}  // namespace python
}  // namespace metdb
