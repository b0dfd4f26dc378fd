#include "tool/geo/DataFolderOutlines.h"

#include "platform/Env.h"

namespace metdb {

void appendPolygons(const std::vector<Outline>& outlines, std::vector<MapPolygon>* polygons) {
  for (const Outline& outline : outlines) {
    bool open = false;  // whether an outer ring of this outline came
    for (const OutlineRing& ring : outline.rings) {
      // A hole before any outer ring has nothing to be cut out of.
      if (ring.hole && !open) continue;
      if (!ring.hole) {
        polygons->push_back({{}, outline.name});
        open = true;
      }
      MapRing positions;
      positions.reserve(ring.points.size());
      for (const LonLat& p : ring.points) positions.push_back({p.latitude, p.longitude});
      polygons->back().rings.push_back(std::move(positions));
    }
  }
}

const MapOutlines* DataFolderOutlines::outlines(OutlineScale scale) {
  auto found = loaded_.find(scale);
  if (found != loaded_.end()) return &found->second;
  std::string land = landOutlinesPath(scale);
  std::string countries = countryOutlinesPath(scale);
  for (const std::string& path : {land, countries}) {
    if (platform::Env::current()->kindOf(path) == platform::FileStatus::kMissing) {
      missing_ = path;
      return nullptr;
    }
  }
  MapOutlines o;
  appendPolygons(readOutlines(land), &o.land);
  appendPolygons(readOutlines(countries), &o.countries);
  return &loaded_.emplace(scale, std::move(o)).first->second;
}

}  // namespace metdb
