#ifndef METDB_PYTHON_LOCATIONITERATOR_H_
#define METDB_PYTHON_LOCATIONITERATOR_H_

#include <memory>
#include <vector>

#include "python/LocationValue.h"
#include "python/OpenDatabase.h"
#include "tool/database/Filters.h"

namespace metdb {
namespace python {

// The locations that filters select, yielded one at a time in the
// directory's walk order (metdb.LocationIterator): the record indices are
// taken at the start, and each record is read when it is reached, so only
// one is held at a time. A change of the database (or its closing) ends
// the iteration with an error, as its indices no longer hold.
class LocationIterator {
 public:
  // Selects from database (which must outlive the iterator; the binding
  // keeps it alive) by filters. Throws as SelectedLocations::build does.
  LocationIterator(OpenDatabase& database, const Filters& filters);

  // The next location; throws pybind11::stop_iteration at the end, and
  // BindingError when the database changed or was closed meanwhile.
  LocationValue next();
  // The number of locations selected.
  long size() const { return static_cast<long>(indices_.size()); }

 private:
  OpenDatabase& database_;
  long generation_;
  std::vector<long> indices_;
  std::size_t position_ = 0;
  std::unique_ptr<StationFile> stations_;  // read on the first next()
};

}  // namespace python
}  // namespace metdb

#endif  // METDB_PYTHON_LOCATIONITERATOR_H_
