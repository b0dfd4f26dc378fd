#include "tool/database/SelectedLocations.h"

#include "tool/CheckPoint.h"
#include "tool/database/Database.h"

namespace metdb {

void SelectedLocations::build(const Filters& filters, BMTFile* db) {
  filters.toSelection(db->directory, &selection_);
  iterator_ = std::make_unique<TLocationIterator>(&selection_);
}

void SelectedLocations::openAndBuild(const Filters& filters, Database& access) {
  build(filters, access.open(DatabaseUse::kRead));
}

long SelectedLocations::count() const { return iterator_ ? iterator_->getNumLocations() : 0; }

void SelectedLocations::forEach(const std::function<void(const LocationData&, long)>& visit) {
  if (!iterator_ || iterator_->isEmpty()) return;
  iterator_->first();
  do {
    checkPoint();
    visit(iterator_->locData, iterator_->recordIndex);
  } while (iterator_->next());
}

}  // namespace metdb
