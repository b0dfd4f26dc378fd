// The Python module metdb._metdb: the tool's capabilities for Python
// programs. The package metdb (metdb/__init__.py) re-exports it and adds
// the exception classes and to_pandas.

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <memory>

#include "module/CurrentDatabase.h"
#include "python/DatabaseEdits.h"
#include "python/DatabaseQueries.h"
#include "python/FilterArguments.h"
#include "python/LocationColumns.h"
#include "python/LocationIterator.h"
#include "python/LocationValue.h"
#include "python/OpenDatabase.h"
#include "python/PythonErrors.h"
#include "tool/database/LocationPath.h"

namespace py = pybind11;
using namespace metdb::python;

namespace {

// A keyword argument that is a distance in km, or None (-1: not given).
double kilometres(const py::object& value, const char* name) {
  if (value.is_none()) return -1.0;
  double km = value.cast<double>();
  if (!(km >= 0.0)) {
    throw BindingError(ErrorKind::kBadInput,
                       std::string(name) + ": a distance is 0 or more, and a number.");
  }
  return km;
}

}  // namespace

PYBIND11_MODULE(_metdb, m) {
  m.doc() = "The binding of metdb's tool layer; use it through the package metdb.";
  registerErrorTranslation();
  m.attr("library_version") = std::string(getMetDLLVersion());

  bindLocation(m);

  py::class_<MatchValue>(m, "Match", "A location found by name (Database.find).")
      .def_readonly("location", &MatchValue::location, "The Location found.")
      .def_readonly("kind", &MatchValue::kind,
                    "How it matched: \"exact\", \"prefix\", \"word\", \"substring\" or "
                    "\"near miss\".")
      .def_readonly("errors", &MatchValue::errors, "Typing errors of a near miss (else 0).")
      .def_readonly("matched_in", &MatchValue::matchedIn,
                    "Where it matched: \"name\", \"state\", \"country\" or \"continent\".")
      .def("__repr__", [](const MatchValue& v) {
        return "<metdb.Match " + v.kind + " in " + v.matchedIn + ": " +
               std::to_string(v.location.index) + ">";
      });

  py::class_<NearValue>(m, "Near", "A location found near a point (Database.nearest).")
      .def_readonly("location", &NearValue::location, "The Location found.")
      .def_readonly("distance_km", &NearValue::distanceKm,
                    "The geodesic distance from the point on the WGS84 ellipsoid, in km.")
      .def_readonly("bearing", &NearValue::bearing,
                    "The initial bearing from the point, degrees clockwise from north.")
      .def("__repr__", [](const NearValue& v) {
        return "<metdb.Near " + std::to_string(v.distanceKm) +
               " km: " + std::to_string(v.location.index) + ">";
      });

  py::class_<LocationIterator>(m, "LocationIterator",
                               "Locations in walk order, each record read when reached.")
      .def("__iter__", [](LocationIterator& it) -> LocationIterator& { return it; })
      .def("__next__", &LocationIterator::next)
      .def("__len__", &LocationIterator::size, "The number of locations selected.");

  py::class_<OpenDatabase>(m, "Database",
                           "An open database (metdb.open). Opened for writing it holds the "
                           "database lock until close(); use it in a with statement.")
      .def(py::init<const std::string&, bool, double>(), py::arg("path"),
           py::arg("readonly") = false, py::arg("wait") = 120.0,
           "Opens the database whose data file is path; see metdb.open.")
      .def("__enter__", [](OpenDatabase& d) -> OpenDatabase& { return d; })
      .def("__exit__", [](OpenDatabase& d, const py::args&) { d.close(); })
      .def("close", &OpenDatabase::close,
           "Closes the database and releases its lock. Safe to call twice.")
      .def_property_readonly("closed", &OpenDatabase::closed, "Whether close() was called.")
      .def_property_readonly("path", &OpenDatabase::path, "The data file's path.")
      .def_property_readonly("readonly", &OpenDatabase::readonly,
                             "Whether it was opened read-only.")
      .def(
          "__len__",
          [](const OpenDatabase& d) { return static_cast<long>(d.db()->directory->locationCount); },
          "The number of locations.")
      .def(
          "__iter__",
          [](OpenDatabase& d) { return std::make_unique<LocationIterator>(d, metdb::Filters()); },
          py::keep_alive<0, 1>(), "Every location, in walk order.")
      .def(
          "locations",
          [](OpenDatabase& d, const py::kwargs& filters) {
            return std::make_unique<LocationIterator>(d, filtersFrom(filters));
          },
          py::keep_alive<0, 1>(),
          "The locations the filters select, in walk order: name, state, country, continent\n"
          "(patterns; '*' and '?' are wildcards; case and accents set aside), level_limit,\n"
          "bbox ((south, west, north, east) or \"S,W,N,E\") and selection (a saved\n"
          "selection file).")
      .def(
          "get",
          [](OpenDatabase& d, long index) {
            BMTFile* db = d.db();
            LocationValue v;
            v.index = index;
            if (index < 0 || index >= d.access().recordCount()) {
              throw BindingError(ErrorKind::kNotFound,
                                 "The data file holds no record " + std::to_string(index) + ".");
            }
            db->getLocationData(index, v.record);
            StationFile stations(*db);
            takeStation(stations, &v);
            return v;
          },
          py::arg("index"), "The record of a record index, as a Location.")
      .def(
          "by_id",
          [](OpenDatabase& d, const std::string& id) {
            BMTFile* db = d.db();
            if (!metdb::isIdentifierText(id)) {
              throw BindingError(ErrorKind::kBadInput,
                                 "\"" + id + "\" is no identifier SCHEME:VALUE (wmo:01026).");
            }
            std::vector<Location*> found = metdb::findLocations(*db, id);
            if (found.empty()) {
              throw BindingError(ErrorKind::kNotFound, "No location holds " + id + ".");
            }
            StationFile stations(*db);
            std::vector<LocationValue> out(found.size());
            for (std::size_t i = 0; i < found.size(); ++i) {
              out[i].index = found[i]->locationIndex;
              db->getLocationData(out[i].index, out[i].record);
              takeStation(stations, &out[i]);
            }
            if (out.size() == 1) return py::cast(out.front());
            return py::cast(out);
          },
          py::arg("id"),
          "The location holding the identifier (\"icao:ENTC\"; the scheme ignoring case);\n"
          "a list when several do. NotFoundError when none does.")
      .def(
          "find",
          [](OpenDatabase& d, const std::string& text, std::size_t limit,
             const py::kwargs& filters) {
            return findLocations(d, text, limit, filtersFrom(filters));
          },
          py::arg("text"), py::kw_only(), py::arg("limit") = 20,
          "Locations whose name, state, country or continent matches text as people type\n"
          "it (case, accents and script set aside), best first: at most limit (0: all).\n"
          "Takes the filters of locations().")
      .def(
          "nearest",
          [](OpenDatabase& d, double latitude, double longitude, long count,
             const py::object& withinKm, const py::object& maxKm, const py::kwargs& filters) {
            if (!withinKm.is_none() && !maxKm.is_none()) {
              throw BindingError(ErrorKind::kBadInput,
                                 "Give within_km or max_km, not both: within_km gives every "
                                 "location that near, however many.");
            }
            return nearestLocations(d, latitude, longitude, count, kilometres(maxKm, "max_km"),
                                    kilometres(withinKm, "within_km"), filtersFrom(filters));
          },
          py::arg("latitude"), py::arg("longitude"), py::kw_only(), py::arg("count") = 5,
          py::arg("within_km") = py::none(), py::arg("max_km") = py::none(),
          "The count locations nearest to the point by geodesic distance, nearest first;\n"
          "max_km limits the distance; within_km gives every location that near instead\n"
          "of count. Takes the filters of locations().")
      .def(
          "_columns",
          [](OpenDatabase& d, const py::kwargs& filters) {
            return locationColumns(d, filtersFrom(filters));
          },
          "The selected locations as numpy columns (see to_pandas).")
      .def(
          "add", [](OpenDatabase& d, const py::kwargs& fields) { return addLocation(d, fields); },
          "Adds a location, placed in its group, and returns its record index. Fields by\n"
          "column name: name, state, country, continent, level, latitude, longitude,\n"
          "auxValue, seriesA..seriesE (twelve numbers).")
      .def(
          "set",
          [](OpenDatabase& d, const py::object& what, const py::kwargs& fields) {
            return setLocation(d, what, fields);
          },
          py::arg("what"),
          "Changes fields of one location (a record index or a path\n"
          "CONTINENT/COUNTRY/STATE/NAME) and returns its record index afterwards.")
      .def(
          "set_where",
          [](OpenDatabase& d, const py::dict& values, const py::kwargs& filters) {
            return setSelected(d, values, filtersFrom(filters));
          },
          py::arg("values"),
          "Changes the fields in values of every location the filters select, in one\n"
          "rewrite; returns the number changed.")
      .def(
          "delete",
          [](OpenDatabase& d, const py::object& what) { return deleteLocations(d, what); },
          py::arg("what"),
          "Deletes a location (a record index) or every location under a path, compacts\n"
          "the data file, and returns the number deleted.")
      .def("rename", &renameGroup, py::arg("path"), py::arg("new_name"),
           "Renames the continent, country, state or location of path; returns the number\n"
           "of locations changed.")
      .def("compact", &compactDatabase,
           "Rewrites the data file in directory order, grouped, without unused records;\n"
           "returns the record counts (before, after).")
      .def(
          "import_from",
          [](OpenDatabase& database, const py::object& source, bool replace, bool force,
             bool skipBad) {
            if (py::isinstance<OpenDatabase>(source)) {
              return importFrom(database, source.cast<OpenDatabase&>(), replace, force);
            }
            // A str or any os.PathLike, as open() takes.
            std::string path = py::module_::import("os").attr("fspath")(source).cast<std::string>();
            return importFrom(database, path, replace, force, skipBad);
          },
          py::arg("source"), py::kw_only(), py::arg("replace") = false, py::arg("force") = false,
          py::arg("skip_bad") = false,
          "Imports another database into this one: an open metdb.Database, or a data\n"
          "file or station list (str or os.PathLike).");
}
