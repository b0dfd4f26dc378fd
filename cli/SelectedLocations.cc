#include "cli/SelectedLocations.h"

#include "cli/DatabaseAccess.h"
#include "cli/Interrupted.h"

bool SelectedLocations::build(const Filters& filters, BMTFile* db, std::string* error) {
  if (!filters.toSelection(db->directory, &selection_, error)) return false;
  iterator_ = std::make_unique<TLocationIterator>(&selection_);
  return true;
}

bool SelectedLocations::openAndBuild(const Filters& filters, DatabaseAccess& access,
                                     ToolContext& context) {
  BMTFile* db = access.open(DatabaseUse::kRead);
  if (db == nullptr) return false;
  std::string error;
  if (!build(filters, db, &error)) {
    context.error(error + ".");
    return false;
  }
  return true;
}

long SelectedLocations::count() const { return iterator_ ? iterator_->getNumLocations() : 0; }

void SelectedLocations::forEach(const std::function<void(const LocationData&, long)>& visit) {
  if (!iterator_ || iterator_->isEmpty()) return;
  iterator_->first();
  do {
    stopIfInterrupted();
    visit(iterator_->locData, iterator_->recordIndex);
  } while (iterator_->next());
}
