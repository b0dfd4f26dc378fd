#include "tool/web/LocationSnapshot.h"

#include <algorithm>
#include <cmath>

#include "tool/database/Database.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/database/SelectedLocations.h"
#include "tool/record/RecordPosition.h"
#include "tool/search/LocationSearch.h"

namespace metdb {

namespace {

constexpr int kLatitudeCells = 180, kLongitudeCells = 360;

bool onGlobe(float latitude, float longitude) {
  return latitude >= -90 && latitude <= 90 && longitude >= -180 && longitude <= 180;
}

// The cell row of a latitude, or column of a longitude, in -90..90 or
// -180..180 (clamped): monotonic, so a spot between two bounds lies in a
// cell between theirs.
int cellOf(double degrees, double from, int cells) {
  int cell = static_cast<int>(std::floor(degrees - from));
  return std::max(0, std::min(cells - 1, cell));
}

}  // namespace

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
    snapshot->hasStations_ = all.hasStations();
    if (snapshot->hasStations_) {
      for (const auto& [index, record] : walked) {
        const StationInfo* info = all.station(index);
        if (info == nullptr || info->empty()) continue;
        for (const std::string& id : info->ids) snapshot->holders_[id].push_back(index);
        snapshot->stations_.emplace(index, *info);
      }
    }
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
  snapshot->indexCells();
  return snapshot;
}

void LocationSnapshot::indexCells() {
  std::vector<int> cell(spots_.size(), -1);
  cellStart_.assign(kLatitudeCells * kLongitudeCells + 1, 0);
  for (std::size_t i = 0; i < spots_.size(); ++i) {
    const Spot& s = spots_[i];
    if (!onGlobe(s.latitude, s.longitude)) {
      offGlobe_.push_back(static_cast<std::uint32_t>(i));
      continue;
    }
    cell[i] = cellOf(s.latitude, -90, kLatitudeCells) * kLongitudeCells +
              cellOf(s.longitude, -180, kLongitudeCells);
    ++cellStart_[static_cast<std::size_t>(cell[i]) + 1];
  }
  for (std::size_t c = 1; c < cellStart_.size(); ++c) cellStart_[c] += cellStart_[c - 1];
  cellPlaces_.resize(cellStart_.back());
  std::vector<std::uint32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
  for (std::size_t i = 0; i < spots_.size(); ++i) {
    if (cell[i] >= 0)
      cellPlaces_[fill[static_cast<std::size_t>(cell[i])]++] = static_cast<std::uint32_t>(i);
  }
}

bool LocationSnapshot::spotsInBox(float south, float west, float north, float east,
                                  std::vector<std::uint32_t>* places) const {
  const int top = cellOf(north, -90, kLatitudeCells);
  const int bottom = cellOf(south, -90, kLatitudeCells);
  int columns[2][2] = {{cellOf(west, -180, kLongitudeCells), cellOf(east, -180, kLongitudeCells)},
                       {1, 0}};  // a second range only across the 180th meridian
  if (west > east) {
    columns[1][0] = 0;
    columns[1][1] = columns[0][1];
    columns[0][1] = kLongitudeCells - 1;
  }
  std::size_t count = offGlobe_.size();
  for (int pass = 0; pass < 2; ++pass) {
    for (int row = bottom; row <= top; ++row) {
      for (const auto& range : columns) {
        if (range[0] > range[1]) continue;
        const std::size_t first = static_cast<std::size_t>(row * kLongitudeCells + range[0]);
        const std::size_t last = static_cast<std::size_t>(row * kLongitudeCells + range[1]);
        if (pass == 0) {
          count += cellStart_[last + 1] - cellStart_[first];
        } else {
          places->insert(places->end(), cellPlaces_.begin() + cellStart_[first],
                         cellPlaces_.begin() + cellStart_[last + 1]);
        }
      }
    }
    if (pass == 0) {
      if (count > spots_.size() / 8) return false;
      places->reserve(places->size() + count);
    }
  }
  places->insert(places->end(), offGlobe_.begin(), offGlobe_.end());
  return true;
}

const SearchIndex& LocationSnapshot::searchIndex() const {
  std::call_once(searchIndexBuilt_,
                 [this] { searchIndex_ = std::make_unique<SearchIndex>(directory_.get()); });
  return *searchIndex_;
}

const StationInfo* LocationSnapshot::station(long index) const {
  auto found = stations_.find(index);
  return found == stations_.end() ? nullptr : &found->second;
}

bool LocationSnapshot::activeOn(long index, const std::string& day) const {
  const StationInfo* info = station(index);
  return info == nullptr || info->activeOn(day);
}

std::set<long> LocationSnapshot::identified(const std::string& text) const {
  std::set<long> found;
  if (holders_.empty()) return found;
  for (const std::string& id : identifierQueries(text)) {
    auto holding = holders_.find(id);
    if (holding != holders_.end()) found.insert(holding->second.begin(), holding->second.end());
  }
  return found;
}

const LocationData* LocationSnapshot::record(long index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= records_.size() ||
      !present_[static_cast<std::size_t>(index)]) {
    return nullptr;
  }
  return &records_[static_cast<std::size_t>(index)];
}

}  // namespace metdb
