#include "tool/web/LocationSnapshot.h"

#include <algorithm>

#include "tool/database/Database.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/database/SelectedLocations.h"
#include "tool/record/RecordPosition.h"

namespace metdb {

LocationSnapshot::LocationSnapshot() : directory_(std::make_unique<Directory>("")) {}

LocationSnapshot::~LocationSnapshot() = default;

std::shared_ptr<const LocationSnapshot> LocationSnapshot::load(const std::string& dataFile,
                                                               double waitSeconds) {
  std::shared_ptr<LocationSnapshot> snapshot(new LocationSnapshot());
  std::vector<std::pair<long, LocationData>> walked;
  {
    Database access(dataFile, waitSeconds);
    SelectedLocations all;
    all.openAndBuild(Filters(), access);
    walked.reserve(static_cast<std::size_t>(all.count()));
    all.forEach([&](const LocationData& r, long index) { walked.emplace_back(index, r); });
  }
  long last = -1;
  for (const auto& [index, record] : walked) last = std::max(last, index);
  snapshot->records_.resize(static_cast<std::size_t>(last + 1));
  snapshot->present_.assign(static_cast<std::size_t>(last + 1), false);
  LocationData previous{};
  for (const auto& [index, record] : walked) {
    snapshot->records_[static_cast<std::size_t>(index)] = record;
    snapshot->present_[static_cast<std::size_t>(index)] = true;
    snapshot->directory_->addOrderedEntry(record, previous, index);
  }
  std::vector<GeoPoint> points;
  forEachLocation(snapshot->directory_.get(), [&](Continent*, Country*, State*, Location* l) {
    snapshot->entries_.push_back(l);
    snapshot->spots_.push_back({l->latitude, l->longitude, l->level});
    RecordPosition p(snapshot->records_[static_cast<std::size_t>(l->locationIndex)]);
    if (GeoIndex::searchable(p.latitude, p.longitude)) {
      points.push_back({p.latitude, p.longitude, l->locationIndex});
    }
  });
  snapshot->geoIndex_ = std::make_unique<GeoIndex>(std::move(points));
  return snapshot;
}

const SearchIndex& LocationSnapshot::searchIndex() const {
  std::call_once(searchIndexBuilt_,
                 [this] { searchIndex_ = std::make_unique<SearchIndex>(directory_.get()); });
  return *searchIndex_;
}

const LocationData* LocationSnapshot::record(long index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= records_.size() ||
      !present_[static_cast<std::size_t>(index)]) {
    return nullptr;
  }
  return &records_[static_cast<std::size_t>(index)];
}

}  // namespace metdb
