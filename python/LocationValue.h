#ifndef METDB_PYTHON_LOCATIONVALUE_H_
#define METDB_PYTHON_LOCATIONVALUE_H_

#include <pybind11/pybind11.h>

#include <string>

#include "datafile/LocationData.h"
#include "datafile/StationFile.h"
#include "datafile/StationInfo.h"
#include "tool/record/Fields.h"

namespace metdb {
namespace python {

// One location as Python sees it (metdb.Location): a copy of its record
// and the record index it had when it was read. It does not follow later
// changes of the database.
struct LocationValue {
  LocationData record;
  long index = -1;
  StationInfo station;  // identifiers, elevation, ... (the station file's)
};

// Gives *value the station information stations holds for its index.
void takeStation(StationFile& stations, LocationValue* value);

// A name decoded for Python: UTF-8, with bytes that are not (a record
// written in another character set) kept as lone surrogates
// ("surrogateescape"), so that no name makes reading fail.
pybind11::str nameText(const char* bytes, std::size_t length);

// One field of record as a Python value: str for names, int for whole
// numbers, float for reals, and for a series a numpy array of its twelve
// values (float32, or int16 for seriesC).
pybind11::object fieldObject(const LocationData& record, const Field& field);

// Sets field in *record from a Python value as a station list's column
// would set it (the field's own checks and messages): a str, an int, a
// float, or for a series a sequence of twelve numbers (or one number for
// one month, when element is 0..11). A name cut to its field is passed to
// metdb.MetdbWarning. Throws BindingError(kBadInput) naming the field when the
// value is wrong.
void setFieldFromObject(LocationData* record, const Field& field, int element,
                        const pybind11::handle& value);

// Adds metdb.Location, with one read-only attribute per field of the
// field table (locationFields) named after its column, to module.
void bindLocation(pybind11::module_& module);

}  // namespace python
}  // namespace metdb

#endif  // METDB_PYTHON_LOCATIONVALUE_H_
