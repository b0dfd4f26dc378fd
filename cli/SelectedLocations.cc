#include "cli/SelectedLocations.h"

bool SelectedLocations::build(const Filters& filters, BMTFile* db, std::string* error) {
  if (!filters.toSelection(db->directory, &selection_, error)) return false;
  iterator_ = std::make_unique<TLocationIterator>(&selection_);
  return true;
}

long SelectedLocations::count() const { return iterator_ ? iterator_->getNumLocations() : 0; }

void SelectedLocations::forEach(const std::function<void(const LocationData&, long)>& visit) {
  if (!iterator_ || iterator_->isEmpty()) return;
  iterator_->first();
  do {
    visit(iterator_->locData, iterator_->recordIndex);
  } while (iterator_->next());
}
