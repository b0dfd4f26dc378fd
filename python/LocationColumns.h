#ifndef METDB_PYTHON_LOCATIONCOLUMNS_H_
#define METDB_PYTHON_LOCATIONCOLUMNS_H_

#include <pybind11/pybind11.h>

#include "python/OpenDatabase.h"
#include "tool/database/Filters.h"

namespace metdb {
namespace python {

// The locations that filters select, in walk order, as columns: a dict
// from column name to a numpy array of one element per location, built in
// one walk without a Python object per location but for the names.
//   "index"                          int64, the record index
//   "name"                           object (str)
//   "state", "country", "continent"  (codes, categories): int32 codes into
//                                    a list of the distinct names, in order
//                                    of first appearance (pandas.Categorical)
//   "level", "auxValue"              int8, int16
//   "latitude", "longitude"          float32
//   "seriesA1" .. "seriesE12"        float32 (seriesC: int16), one per month
// Each record is a check point (Ctrl-C raises KeyboardInterrupt).
pybind11::dict locationColumns(OpenDatabase& database, const Filters& filters);

}  // namespace python
}  // namespace metdb

#endif  // METDB_PYTHON_LOCATIONCOLUMNS_H_
