#ifndef METDB_TOOL_GEO_DATAFOLDEROUTLINES_H_
#define METDB_TOOL_GEO_DATAFOLDEROUTLINES_H_

#include <map>
#include <string>

#include "tool/geo/MapOutlines.h"

namespace metdb {

// The outlines of the data folder (Natural Earth's land and countries,
// tool/places/OutlineFile.h) as a map draws them: each scale read once,
// when first asked for, and kept for the object's life.
class DataFolderOutlines : public OutlineSource {
 public:
  // The outlines at scale; nullptr when the data folder has no outline
  // files at that scale (missing() then names the file looked for). Throws
  // Error, naming the file, when a file is there but cannot be read.
  const MapOutlines* outlines(OutlineScale scale) override;

  // The outline file found missing, empty when none was.
  const std::string& missing() const { return missing_; }

 private:
  std::map<OutlineScale, MapOutlines> loaded_;
  std::string missing_;
};

// The outlines of a file turned into the map's polygons: each outer ring
// with the holes that follow it, named after its outline.
void appendPolygons(const std::vector<Outline>& outlines, std::vector<MapPolygon>* polygons);

}  // namespace metdb

#endif  // METDB_TOOL_GEO_DATAFOLDEROUTLINES_H_
