#include "python/FilterArguments.h"
#include "tool/database/LocationPath.h"
#include "tool/record/NameLevels.h"
#include "tool/record/StationFields.h"

#include "python/PythonErrors.h"
#include "tool/Error.h"

namespace py = pybind11;

namespace metdb {
namespace python {

namespace {

std::string textOf(const std::string& key, const py::handle& value) {
  if (value.is_none()) return "";
  if (!py::isinstance<py::str>(value)) {
    throw BindingError(ErrorKind::kBadInput,
                       key + ": " + py::repr(value).cast<std::string>() + " is not a str.");
  }
  return value.cast<std::string>();
}

// A box from "SOUTH,WEST,NORTH,EAST" or four numbers in that order.
Box boxOf(const py::handle& value) {
  Box box;
  std::string why;
  if (py::isinstance<py::str>(value)) {
    if (!tryParseBox(value.cast<std::string>(), &box, &why)) {
      throw BindingError(ErrorKind::kBadInput, "bbox: " + why + ".");
    }
    return box;
  }
  if (!py::hasattr(value, "__len__") || py::len(value) != 4) {
    throw BindingError(ErrorKind::kBadInput,
                       "bbox: give \"SOUTH,WEST,NORTH,EAST\" or four numbers in that order.");
  }
  float v[4];
  int i = 0;
  for (py::handle part : value) {
    v[i++] = py::float_(py::reinterpret_borrow<py::object>(part)).cast<float>();
  }
  box = Box{v[0], v[1], v[2], v[3]};
  if (!checkBox(box, &why)) throw BindingError(ErrorKind::kBadInput, "bbox: " + why + ".");
  return box;
}

}  // namespace

Filters filtersFrom(const py::kwargs& arguments) {
  Filters filters;
  for (auto item : arguments) {
    std::string key = item.first.cast<std::string>();
    py::handle value = item.second;
    const PatternFilter* pattern = nullptr;
    for (const PatternFilter& f : patternFilters()) {
      if (key == f.level.field->column) pattern = &f;
    }
    if (pattern != nullptr) {
      filters.*pattern->pattern = textOf(key, value);
    } else if (key == "selection") {
      filters.selectionFile = textOf(key, value);
    } else if (key == "level_limit") {
      if (value.is_none()) continue;
      if (!py::isinstance<py::int_>(value) || py::isinstance<py::bool_>(value)) {
        throw BindingError(ErrorKind::kBadInput,
                           "level_limit: give a whole number, " + levelRange() + ".");
      }
      int overflow = 0;
      long long limit = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
      if (overflow != 0 || limit < levelField().min || limit > levelField().max) {
        throw BindingError(ErrorKind::kBadInput,
                           "level_limit: " + py::str(value).cast<std::string>() + " is outside " +
                               levelRange() + ".");
      }
      filters.levelLimit = static_cast<int>(limit);
      filters.levelGiven = true;
    } else if (key == "bbox") {
      if (value.is_none()) continue;
      filters.bbox = boxOf(value);
    } else if (key == "id") {
      if (value.is_none()) continue;
      std::string id = textOf(key, value);
      if (!isIdentifierText(id)) {
        throw BindingError(ErrorKind::kBadInput,
                           "id: \"" + id + "\" is no identifier SCHEME:VALUE.");
      }
      filters.ids.push_back(id);
    } else if (key == "active") {
      if (value.is_none()) continue;
      std::string day = normalizedDate(py::str(value).cast<std::string>());
      if (day.empty()) {
        throw BindingError(ErrorKind::kBadInput,
                           "active: give a date, \"YYYY-MM-DD\" or a datetime.date.");
      }
      filters.active = day;
    } else {
      throw py::type_error("unexpected keyword argument '" + key +
                           "' (the filters are name, state, country, continent, level_limit, "
                           "bbox, selection, id and active)");
    }
  }
  return filters;
}

}  // namespace python
}  // namespace metdb
