#include "tool/database/SelectedLocations.h"

#include <algorithm>
#include <set>
#include <unordered_map>
#include <utility>

#include "tool/CheckPoint.h"
#include "tool/Progress.h"
#include "tool/database/Database.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/database/LocationFilter.h"
#include "tool/text/Text.h"

namespace metdb {

void SelectedLocations::build(const Filters& filters, BMTFile* db) {
  db_ = db;
  if (!filters.selectionFile.empty()) {
    filters.toSelection(db->directory, &selection_);
    lendToLibrary(db);  // which the iterator resolves the selection against
    iterator_ = std::make_unique<TLocationIterator>(&selection_);
  } else {
    entries_ = selectLocations(filters, db->directory);
    entriesKnown_ = true;
  }
  if (filters.narrowsStations()) keepStations(filters);
}

void SelectedLocations::keepStations(const Filters& filters) {
  std::vector<std::string> wanted;
  for (const std::string& id : filters.ids) {
    std::size_t colon = id.find(':');
    wanted.push_back(
        colon == std::string::npos ? id : text::foldCase(id.substr(0, colon)) + id.substr(colon));
  }
  std::vector<Location*> all = entries();
  entries_.clear();
  if (filters.active.empty()) {
    // Identifiers alone: the lines that hold them, without reading the
    // whole station file or every record.
    if (!stations_) stations_ = std::make_unique<StationFile>(*db_);
    std::set<long> holding;
    for (const std::string& id : wanted) {
      for (long index : stations_->lookup(id)) holding.insert(index);
    }
    for (Location* l : all) {
      if (holding.count(l->locationIndex)) entries_.push_back(l);
    }
    iterator_.reset();
    return;
  }
  for (Location* l : all) {
    const StationInfo* info = station(l->locationIndex);
    if (!filters.active.empty() && info != nullptr && !info->activeOn(filters.active)) continue;
    if (!wanted.empty()) {
      bool holds = false;
      for (const std::string& id : wanted) {
        if (info != nullptr && std::find(info->ids.begin(), info->ids.end(), id) != info->ids.end())
          holds = true;
      }
      if (!holds) continue;
    }
    entries_.push_back(l);
  }
  // From here on the entries are walked, a selection file's as well.
  iterator_.reset();
}

bool SelectedLocations::hasStations() {
  station(-1);
  return stations_->exists();
}

const StationInfo* SelectedLocations::station(long index) {
  if (!stations_) {
    stations_ = std::make_unique<StationFile>(*db_);
    if (stations_->exists()) stations_->match();
  }
  return stations_->find(index);
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
    lendToLibrary(db_);  // which the iterator reads the records of
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
