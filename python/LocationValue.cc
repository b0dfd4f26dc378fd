#include "python/LocationValue.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cstring>
#include <limits>

#include "python/PythonErrors.h"
#include "tool/database/LocationPath.h"
#include "tool/record/Fields.h"

namespace py = pybind11;

namespace metdb {
namespace python {

namespace {

// Sets one element of a number field from a Python number: an int (or
// anything with __index__) as a whole number, else its float. Returns the
// fault as setFieldFromWhole/Real give it ("" when set).
std::string setNumber(LocationData* record, const Field& field, int element,
                      const py::handle& value) {
  std::string written = py::repr(value).cast<std::string>();
  if (py::isinstance<py::bool_>(value) || py::isinstance<py::str>(value) ||
      !(py::isinstance<py::int_>(value) || py::isinstance<py::float_>(value) ||
        py::hasattr(value, "__index__") || py::hasattr(value, "__float__"))) {
    return written + " is not a number";
  }
  if (py::hasattr(value, "__index__") && !py::isinstance<py::float_>(value)) {
    py::int_ whole(py::reinterpret_borrow<py::object>(value));
    int overflow = 0;
    long long v = PyLong_AsLongLongAndOverflow(whole.ptr(), &overflow);
    // Beyond long long is beyond every field's range, which the field
    // names, as it does for the extremes.
    if (overflow != 0) {
      v = overflow > 0 ? std::numeric_limits<long long>::max()
                       : std::numeric_limits<long long>::min();
    }
    return setFieldFromWhole(record, field, element, v, written);
  }
  return setFieldFromReal(record, field, element,
                          py::float_(py::reinterpret_borrow<py::object>(value)).cast<double>(),
                          written);
}

}  // namespace

py::str nameText(const char* bytes, std::size_t length) {
  PyObject* text = PyUnicode_DecodeUTF8(bytes, static_cast<Py_ssize_t>(length), "surrogateescape");
  if (text == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(text);
}

py::object fieldObject(const LocationData& record, const Field& field) {
  if (field.kind == FieldKind::kText) {
    const char* bytes = reinterpret_cast<const char*>(&record) + field.offset;
    const void* end = std::memchr(bytes, '\0', field.size);
    return nameText(bytes, end ? static_cast<const char*>(end) - bytes : field.size);
  }
  if (!field.isSeries()) {
    if (field.kind == FieldKind::kWhole) return py::int_(wholeValue(record, field, 0));
    return py::float_(realValue(record, field, 0));
  }
  const char* first = reinterpret_cast<const char*>(&record) + field.offset;
  if (field.kind == FieldKind::kWhole) {
    py::array_t<std::int16_t> values(field.elements);
    std::memcpy(values.mutable_data(), first, field.size * field.elements);
    return std::move(values);
  }
  py::array_t<float> values(field.elements);
  std::memcpy(values.mutable_data(), first, field.size * field.elements);
  return std::move(values);
}

void setFieldFromObject(LocationData* record, const Field& field, int element,
                        const py::handle& value) {
  std::string column =
      field.isSeries() && element >= 0 ? columnName(field, element) : std::string(field.column);
  if (field.kind == FieldKind::kText) {
    if (!py::isinstance<py::str>(value)) {
      throw BindingError(ErrorKind::kBadInput,
                         column + ": " + py::repr(value).cast<std::string>() + " is not a str.");
    }
    std::string cut;
    std::string fault = setFieldFromText(record, field, 0, value.cast<std::string>(), &cut);
    if (!fault.empty()) throw BindingError(ErrorKind::kBadInput, column + ": " + fault + ".");
    if (!cut.empty()) warn(column + ": " + cut + ".");
    return;
  }
  if (!field.isSeries() || element >= 0) {
    std::string fault = setNumber(record, field, field.isSeries() ? element : 0, value);
    if (!fault.empty()) throw BindingError(ErrorKind::kBadInput, column + ": " + fault + ".");
    return;
  }
  if (py::isinstance<py::str>(value) || !py::hasattr(value, "__len__")) {
    throw BindingError(ErrorKind::kBadInput, column + ": give a sequence of twelve numbers.");
  }
  py::sequence values = py::reinterpret_borrow<py::sequence>(value);
  if (py::len(values) != static_cast<std::size_t>(field.elements)) {
    throw BindingError(ErrorKind::kBadInput, column + ": give twelve numbers, not " +
                                                 std::to_string(py::len(values)) + ".");
  }
  // Into a copy, so that a fault in a later value leaves the record as it was.
  LocationData changed = *record;
  for (int m = 0; m < field.elements; ++m) {
    std::string fault = setNumber(&changed, field, m, values[static_cast<std::size_t>(m)]);
    if (!fault.empty()) {
      throw BindingError(ErrorKind::kBadInput,
                         column + ": value " + std::to_string(m + 1) + ": " + fault + ".");
    }
  }
  *record = changed;
}

void takeStation(StationFile& stations, LocationValue* value) {
  const StationInfo* info = stations.find(value->index);
  value->station = info ? *info : StationInfo();
}

namespace {

py::object textOrNone(const std::string& text) {
  return text.empty() ? py::object(py::none()) : py::object(py::str(text));
}

}  // namespace

void bindLocation(py::module_& module) {
  py::class_<LocationValue> location(
      module, "Location",
      "One location: a copy of its record as it was read, and its record index then.\n\n"
      "Attributes are named after the fields of a station list: name, state, country,\n"
      "continent (str), level, auxValue (int), latitude, longitude (float) and the\n"
      "monthly series seriesA, seriesB, seriesD, seriesE (numpy float32 arrays of\n"
      "twelve) and seriesC (numpy int16 array of twelve).");
  location.def_readonly("index", &LocationValue::index, "The record index when it was read.");
  location.def_property_readonly(
      "path", [](const LocationValue& l) { return py::str(recordPath(l.record)); },
      "CONTINENT/COUNTRY/STATE/NAME.");
  location.def_property_readonly(
      "parts",
      [](const LocationValue& l) {
        const std::vector<Field>& fields = locationFields();
        return py::make_tuple(fieldObject(l.record, fields[3]), fieldObject(l.record, fields[2]),
                              fieldObject(l.record, fields[1]), fieldObject(l.record, fields[0]));
      },
      "(continent, country, state, name).");
  for (const Field& field : locationFields()) {
    const Field* f = &field;
    location.def_property_readonly(
        field.column, [f](const LocationValue& l) { return fieldObject(l.record, *f); },
        field.help);
  }
  location.def_property_readonly(
      "ids", [](const LocationValue& l) { return l.station.ids; },
      "Its identifiers, \"scheme:value\" (wmo, icao, iata, ghcn, usaf-wban, geonames, ...).");
  location.def_property_readonly(
      "elevation",
      [](const LocationValue& l) {
        return l.station.hasElevation() ? py::object(py::float_(l.station.elevation))
                                        : py::object(py::none());
      },
      "Elevation in metres, or None when unknown.");
  location.def_property_readonly(
      "timezone", [](const LocationValue& l) { return textOrNone(l.station.timeZone); },
      "IANA time zone, or None.");
  location.def_property_readonly(
      "active_from", [](const LocationValue& l) { return textOrNone(l.station.activeFrom); },
      "First day of operation (YYYY-MM-DD), or None when open.");
  location.def_property_readonly(
      "active_to", [](const LocationValue& l) { return textOrNone(l.station.activeTo); },
      "Last day of operation (YYYY-MM-DD), or None when open.");
  location.def_property_readonly(
      "source", [](const LocationValue& l) { return textOrNone(l.station.source); },
      "The list and line it came from, or None.");
  location.def(
      "to_dict",
      [](const LocationValue& l) {
        py::dict out;
        out["index"] = l.index;
        for (const Field& f : locationFields()) out[f.column] = fieldObject(l.record, f);
        return out;
      },
      "The record index and every field, by its column name, as a dict.");
  location.def("__repr__", [](const LocationValue& l) {
    return "<metdb.Location " + std::to_string(l.index) + " " + recordPath(l.record) + ">";
  });
}

}  // namespace python
}  // namespace metdb
