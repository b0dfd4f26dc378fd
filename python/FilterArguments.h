#ifndef METDB_PYTHON_FILTERARGUMENTS_H_
#define METDB_PYTHON_FILTERARGUMENTS_H_

#include <pybind11/pybind11.h>

#include "tool/database/Filters.h"

namespace metdb {
namespace python {

// The filters that pick locations, from the keyword arguments of a query:
// name, state, country, continent (patterns, '*' and '?' wildcards, case
// and accents set aside; None or "" for no filter), level_limit (an int,
// -128..127), bbox ("SOUTH,WEST,NORTH,EAST" or a sequence of four
// numbers) and selection (the path of a saved selection file, instead of
// the others). The same meaning as the tool's --name ... --selection.
// Throws pybind11::type_error for an unknown keyword, BindingError
// (kBadInput) for a value that is wrong.
Filters filtersFrom(const pybind11::kwargs& arguments);

}  // namespace python
}  // namespace metdb

#endif  // METDB_PYTHON_FILTERARGUMENTS_H_
