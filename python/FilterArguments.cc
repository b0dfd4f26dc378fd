#include "python/FilterArguments.h"
#include "tool/database/LocationPath.h"
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

std::string boxText(const py::handle& value) {
  if (py::isinstance<py::str>(value)) return value.cast<std::string>();
  if (!py::hasattr(value, "__len__") || py::len(value) != 4) {
    throw BindingError(ErrorKind::kBadInput,
                       "bbox: give \"SOUTH,WEST,NORTH,EAST\" or four numbers in that order.");
  }
  std::string text;
  for (py::handle part : value) {
    if (!text.empty()) text += ',';
    text += py::repr(py::float_(py::reinterpret_borrow<py::object>(part))).cast<std::string>();
  }
  return text;
}

}  // namespace

Filters filtersFrom(const py::kwargs& arguments) {
  Filters filters;
  for (auto item : arguments) {
    std::string key = item.first.cast<std::string>();
    py::handle value = item.second;
    if (key == "name") {
      filters.name = textOf(key, value);
    } else if (key == "state") {
      filters.state = textOf(key, value);
    } else if (key == "country") {
      filters.country = textOf(key, value);
    } else if (key == "continent") {
      filters.continent = textOf(key, value);
    } else if (key == "selection") {
      filters.selectionFile = textOf(key, value);
    } else if (key == "level_limit") {
      if (value.is_none()) continue;
      if (!py::isinstance<py::int_>(value) || py::isinstance<py::bool_>(value)) {
        throw BindingError(ErrorKind::kBadInput, "level_limit: give a whole number, -128..127.");
      }
      long limit = value.cast<long>();
      if (limit < -128 || limit > 127) {
        throw BindingError(ErrorKind::kBadInput,
                           "level_limit: " + std::to_string(limit) + " is outside -128..127.");
      }
      filters.levelLimit = static_cast<int>(limit);
      filters.levelGiven = true;
    } else if (key == "bbox") {
      if (value.is_none()) continue;
      filters.bbox = boxText(value);
      float south, west, north, east;
      parseBox(filters.bbox, &south, &west, &north, &east);
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
