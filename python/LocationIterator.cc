#include "python/LocationIterator.h"

#include "python/PythonErrors.h"
#include "tool/CheckPoint.h"
#include "tool/database/SelectedLocations.h"

namespace metdb {
namespace python {

LocationIterator::LocationIterator(OpenDatabase& database, const Filters& filters)
    : database_(database), generation_(database.generation()) {
  SelectedLocations selected;
  selected.build(filters, database.db());
  const std::vector<Location*>& entries = selected.entries();
  indices_.reserve(entries.size());
  for (const Location* entry : entries) indices_.push_back(entry->locationIndex);
}

LocationValue LocationIterator::next() {
  BMTFile* db = database_.db();
  if (database_.generation() != generation_) {
    throw BindingError(ErrorKind::kGeneral,
                       "The database \"" + database_.path() +
                           "\" changed during the iteration; its record indices no longer hold.");
  }
  if (position_ >= indices_.size()) throw pybind11::stop_iteration();
  checkPoint();
  LocationValue value;
  value.index = indices_[position_++];
  db->getLocationData(value.index, value.record);
  if (!stations_) {
    stations_ = std::make_unique<StationFile>(*db);
    if (stations_->exists()) stations_->match();
  }
  takeStation(*stations_, &value);
  return value;
}

}  // namespace python
}  // namespace metdb
