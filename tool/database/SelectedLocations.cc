#include "tool/database/SelectedLocations.h"

#include <unordered_map>
#include <utility>

#include "tool/CheckPoint.h"
#include "tool/Progress.h"
#include "tool/database/Database.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/database/LocationFilter.h"

namespace metdb {

void SelectedLocations::build(const Filters& filters, BMTFile* db) {
  db_ = db;
  if (!filters.selectionFile.empty()) {
    filters.toSelection(db->directory, &selection_);
    iterator_ = std::make_unique<TLocationIterator>(&selection_);
    return;
  }
  entries_ = selectLocations(filters, db->directory);
  entriesKnown_ = true;
}

void SelectedLocations::openAndBuild(const Filters& filters, Database& access) {
  build(filters, access.open(DatabaseUse::kRead));
}

long SelectedLocations::count() const {
  if (reordered_) return static_cast<long>(order_.size());
  return iterator_ ? iterator_->getNumLocations() : static_cast<long>(entries_.size());
}

const std::vector<Location*>& SelectedLocations::entries() {
  if (entriesKnown_) return entries_;
  std::unordered_map<long, Location*> byIndex;
  forEachLocation(db_->directory, [&](Continent*, Country*, State*, Location* l) {
    byIndex.emplace(l->locationIndex, l);
  });
  forEach([&](const LocationData&, long index) {
    auto found = byIndex.find(index);
    if (found != byIndex.end()) entries_.push_back(found->second);
  });
  entriesKnown_ = true;
  return entries_;
}

void SelectedLocations::reorder(std::vector<long> recordIndices) {
  order_ = std::move(recordIndices);
  reordered_ = true;
}

void SelectedLocations::forEach(const std::function<void(const LocationData&, long)>& visit) {
  Progress progress("Reading records", count());
  if (reordered_) {
    LocationData record;
    for (long index : order_) {
      checkPoint();
      progress.advance();
      db_->getLocationData(index, record);
      visit(record, index);
    }
    return;
  }
  if (iterator_) {
    if (iterator_->isEmpty()) return;
    iterator_->first();
    do {
      checkPoint();
      progress.advance();
      visit(iterator_->locData, iterator_->recordIndex);
    } while (iterator_->next());
    return;
  }
  LocationData record;
  for (Location* entry : entries_) {
    checkPoint();
    progress.advance();
    db_->getLocationData(entry->locationIndex, record);
    visit(record, entry->locationIndex);
  }
}

}  // namespace metdb
