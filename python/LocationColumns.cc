#include "python/LocationColumns.h"

#include <pybind11/numpy.h>

#include <cmath>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "python/LocationValue.h"
#include "tool/database/SelectedLocations.h"
#include "tool/record/Fields.h"
#include "tool/record/StationFields.h"

namespace py = pybind11;

namespace metdb {
namespace python {

namespace {

// A column of few distinct names (the groups): codes into the names in
// order of first appearance. Consecutive records mostly share their
// group, so the last name is checked before the map.
class CategoryColumn {
 public:
  explicit CategoryColumn(std::size_t rows) : codes_(static_cast<py::ssize_t>(rows)) {}

  void set(std::size_t row, const char* bytes, std::size_t size) {
    std::string_view name(bytes, strnlen(bytes, size));
    if (!(last_ >= 0 && name == names_[static_cast<std::size_t>(last_)])) {
      auto found = codeOf_.find(std::string(name));
      if (found == codeOf_.end()) {
        last_ = static_cast<std::int32_t>(names_.size());
        names_.emplace_back(name);
        codeOf_.emplace(names_.back(), last_);
      } else {
        last_ = found->second;
      }
    }
    codes_.mutable_data()[row] = last_;
  }

  py::tuple take() {
    py::list categories;
    for (const std::string& n : names_) categories.append(nameText(n.data(), n.size()));
    return py::make_tuple(codes_, categories);
  }

 private:
  py::array_t<std::int32_t> codes_;
  std::vector<std::string> names_;
  std::unordered_map<std::string, std::int32_t> codeOf_;
  std::int32_t last_ = -1;
};

// A numeric column of one element of a field, filled by copying its bytes
// from each record.
struct NumberColumn {
  const Field* field;
  int element;
  py::array array;
  char* data;
};

}  // namespace

py::dict locationColumns(OpenDatabase& database, const Filters& filters) {
  BMTFile* db = database.db();
  SelectedLocations selected;
  selected.build(filters, db);
  std::size_t rows = static_cast<std::size_t>(selected.count());
  const std::vector<Field>& fields = locationFields();

  py::array_t<std::int64_t> index(static_cast<py::ssize_t>(rows));
  py::array names(py::dtype("O"), std::vector<py::ssize_t>{static_cast<py::ssize_t>(rows)});
  CategoryColumn state(rows), country(rows), continent(rows);
  std::vector<NumberColumn> numbers;
  for (const Field& f : fields) {
    if (f.kind == FieldKind::kText) continue;
    const char* format = f.kind == FieldKind::kReal ? "float32" : (f.size == 1 ? "int8" : "int16");
    for (int e = 0; e < f.elements; ++e) {
      py::array a(py::dtype(format), std::vector<py::ssize_t>{static_cast<py::ssize_t>(rows)});
      numbers.push_back(NumberColumn{&f, e, a, static_cast<char*>(a.mutable_data())});
    }
  }

  // The station file's columns: ids (blank-separated), elevation (NaN
  // when unknown), timezone, active_from and active_to (None when unknown).
  py::array_t<double> elevationColumn(static_cast<py::ssize_t>(rows));
  double* elevation = elevationColumn.mutable_data();
  auto objects = [rows] {
    return py::array(py::dtype("O"), std::vector<py::ssize_t>{static_cast<py::ssize_t>(rows)});
  };
  py::array ids = objects(), timezone = objects(), activeFrom = objects(), activeTo = objects();
  std::int64_t* indexData = index.mutable_data();
  PyObject** nameData = static_cast<PyObject**>(names.mutable_data());
  std::size_t row = 0;
  // The walk is nearly in file order in a grouped data file: read ahead.
  BMTFile::BulkRead reading(*db);
  selected.forEach([&](const LocationData& r, long recordIndex) {
    if (row >= rows) return;
    indexData[row] = recordIndex;
    // The array holds None until set; the reference replaces it.
    PyObject* previous = nameData[row];
    nameData[row] = nameText(r.name, strnlen(r.name, sizeof r.name)).release().ptr();
    Py_XDECREF(previous);
    state.set(row, r.state, sizeof r.state);
    country.set(row, r.country, sizeof r.country);
    continent.set(row, r.continent, sizeof r.continent);
    const char* bytes = reinterpret_cast<const char*>(&r);
    for (NumberColumn& c : numbers) {
      std::memcpy(c.data + row * c.field->size,
                  bytes + c.field->offset + static_cast<std::size_t>(c.element) * c.field->size,
                  c.field->size);
    }
    const StationInfo* info = selected.station(recordIndex);
    elevation[row] = info && info->hasElevation() ? info->elevation : std::nan("");
    // Every cell set, None where unknown.
    auto put = [row](py::array& column, const std::string& value) {
      PyObject** data = static_cast<PyObject**>(column.mutable_data());
      PyObject* old = data[row];
      data[row] = value.empty() ? py::none().release().ptr() : py::str(value).release().ptr();
      Py_XDECREF(old);
    };
    put(ids, info ? stationValueText(*info, "ids") : "");
    put(timezone, info ? info->timeZone : "");
    put(activeFrom, info ? info->activeFrom : "");
    put(activeTo, info ? info->activeTo : "");
    ++row;
  });

  py::dict out;
  out["index"] = index;
  for (const Field& f : fields) {
    if (std::strcmp(f.column, "name") == 0) {
      out["name"] = names;
    } else if (std::strcmp(f.column, "state") == 0) {
      out["state"] = state.take();
    } else if (std::strcmp(f.column, "country") == 0) {
      out["country"] = country.take();
    } else if (std::strcmp(f.column, "continent") == 0) {
      out["continent"] = continent.take();
    }
    for (NumberColumn& c : numbers) {
      if (c.field == &f) out[py::str(columnName(f, c.element))] = c.array;
    }
  }
  out["ids"] = ids;
  out["elevation"] = elevationColumn;
  out["timezone"] = timezone;
  out["active_from"] = activeFrom;
  out["active_to"] = activeTo;
  return out;
}

}  // namespace python
}  // namespace metdb
