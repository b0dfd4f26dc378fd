#include "tool/geo/LocationMap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <unordered_map>

#include "tool/database/SelectedLocations.h"
#include "tool/geo/MapFrame.h"
#include "tool/geo/WorldMap.h"
#include "tool/record/RecordPosition.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

bool endsWithPng(const std::string& name) {
  return name.size() > 4 && text::equalIgnoringCase(name.substr(name.size() - 4), ".png");
}

std::string groupName(const LocationData& record, MapColouring colouring) {
  switch (colouring) {
    case MapColouring::kCountry:
      return fieldText(record.country);
    case MapColouring::kLevel:
      return "Level " + std::to_string(static_cast<int>(record.level));
    case MapColouring::kContinent:
      break;
  }
  return fieldText(record.continent);
}

// The selected locations with a position, as the map needs them.
struct Collected {
  std::vector<GeoPosition> positions;
  std::vector<std::uint16_t> groups;
  std::vector<std::string> groupNames;  // by index, in the order first seen
  std::vector<int> levels;              // by group, for kLevel
  // The names of the first WorldMap::kLabelLimit + 1 positions that the
  // map can show, with their places in positions.
  std::vector<std::pair<std::size_t, std::string>> names;
  long unplaced = 0;
};

// frame: the map's frame when it is known before the walk (the names kept
// are then those of positions in it), nullptr when it follows the
// positions.
Collected collect(SelectedLocations& selected, MapColouring colouring, const MapFrame* frame) {
  Collected c;
  std::unordered_map<std::string, std::uint16_t> byName;
  // Records come grouped by continent and country: most share the group of
  // the one before.
  std::string last;
  std::uint16_t lastGroup = 0;
  selected.forEach([&](const LocationData& r, long) {
    RecordPosition position(r);
    if (!position.onGlobe()) {
      ++c.unplaced;
      return;
    }
    std::string name = groupName(r, colouring);
    if (c.positions.empty() || name != last) {
      auto found = byName.find(name);
      if (found == byName.end()) {
        auto index = static_cast<std::uint16_t>(std::min<std::size_t>(c.groupNames.size(), 65535));
        found = byName.emplace(name, index).first;
        if (index == c.groupNames.size()) {
          c.groupNames.push_back(name);
          c.levels.push_back(r.level);
        }
      }
      last = name;
      lastGroup = found->second;
    }
    c.positions.push_back({position.latitude, position.longitude});
    c.groups.push_back(lastGroup);
    double x, y;
    if (c.names.size() <= static_cast<std::size_t>(WorldMap::kLabelLimit) &&
        (frame == nullptr ||
         (frame->project(position.latitude, position.longitude, &x, &y) && frame->holds(x, y)))) {
      c.names.emplace_back(c.positions.size() - 1, fieldText(r.name));
    }
  });
  return c;
}

// The frame when the request fixes it; nullptr when it follows the
// positions.
std::unique_ptr<MapFrame> fixedFrame(const MapRequest& request) {
  const ProjectionKind* kind = request.projectionGiven ? &request.projection : nullptr;
  switch (request.framing) {
    case MapFraming::kExtent:
      return std::make_unique<MapFrame>(MapFrame::ofExtent(request.extent, kind));
    case MapFraming::kWorld:
      return std::make_unique<MapFrame>(MapFrame::world());
    case MapFraming::kAround:
      return std::make_unique<MapFrame>(
          MapFrame::around(request.latitude, request.longitude, request.radiusKm));
    case MapFraming::kFit:
      break;
  }
  return nullptr;
}

void prepare(WorldMap& map, const MapRequest& request, OutlineSource* outlines) {
  if (request.dotSize > 0.0) map.setDotSize(request.dotSize);
  if (outlines != nullptr) map.setOutlines(outlines->outlines(outlineScaleFor(map.frame())));
}

MapOutcome write(const WorldMap& map, const MapRequest& request) {
  if (endsWithPng(request.output)) {
    map.writePng(request.output);
  } else {
    map.writeSvg(request.output);
  }
  MapOutcome outcome;
  outcome.drawn = map.count();
  outcome.outside = map.outside();
  outcome.width = map.width();
  outcome.height = map.height();
  outcome.projection = map.frame().projection().kind();
  return outcome;
}

std::string coordinates(double latitude, double longitude) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.2f°%c %.2f°%c", std::fabs(latitude),
                latitude >= 0 ? 'N' : 'S', std::fabs(longitude), longitude >= 0 ? 'E' : 'W');
  return buffer;
}

}  // namespace

MapOutcome drawLocationMap(SelectedLocations& selected, const MapRequest& request,
                           OutlineSource* outlines) {
  std::unique_ptr<MapFrame> fixed = fixedFrame(request);
  Collected c = collect(selected, request.colouring, fixed.get());
  const ProjectionKind* kind = request.projectionGiven ? &request.projection : nullptr;
  WorldMap map(request.width, fixed ? *fixed : MapFrame::aroundPositions(c.positions, kind));
  prepare(map, request, outlines);

  // Groups in the legend's order: levels by number, names as first seen
  // (the walk's order, which is by name).
  std::vector<std::size_t> order(c.groupNames.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  if (request.colouring == MapColouring::kLevel) {
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return c.levels[a] < c.levels[b]; });
  }
  std::vector<std::size_t> groupOf(c.groupNames.size());
  for (std::size_t i : order) groupOf[i] = map.group(c.groupNames[i]);

  std::size_t nextName = 0;
  const std::string none;
  for (std::size_t i = 0; i < c.positions.size(); ++i) {
    bool named = nextName < c.names.size() && c.names[nextName].first == i;
    map.add(groupOf[c.groups[i]], c.positions[i].latitude, c.positions[i].longitude,
            named ? c.names[nextName++].second : none);
  }

  std::string subtitle =
      request.filters.empty() ? "All locations" : "Selected by " + request.filters;
  if (c.unplaced > 0) {
    subtitle += "; " + text::plural(c.unplaced, "location", "locations") +
                " without a position on the globe not shown";
  }
  if (map.outside() > 0) {
    subtitle += "; " + text::plural(map.outside(), "location", "locations") + " outside the map";
  }
  map.setTitle(request.databaseName + ": " + text::plural(map.count(), "location", "locations"),
               subtitle);
  if (selected.count() == 0) {
    map.setNotice("No location is selected");
  } else if (c.positions.empty()) {
    map.setNotice("No selected location has a position on the globe");
  } else if (map.count() == 0) {
    map.setNotice("No selected location lies on this map");
  }
  if (request.framing == MapFraming::kAround) map.setRings(request.radiusKm * 1000.0);

  MapOutcome outcome = write(map, request);
  outcome.unplaced = c.unplaced;
  return outcome;
}

MapOutcome drawNearestMap(const std::vector<NearLocation>& found, const MapRequest& request,
                          OutlineSource* outlines) {
  double farthest = 0.0;
  for (const NearLocation& n : found) farthest = std::max(farthest, n.metres);
  double radiusKm = std::clamp(farthest * 1.15 / 1000.0, 10.0, kMaxRadiusKm);
  WorldMap map(request.width, MapFrame::around(request.latitude, request.longitude, radiusKm));
  prepare(map, request, outlines);
  map.setRings(radiusKm * 1000.0);
  for (const NearLocation& n : found) {
    RecordPosition position(n.record);
    char distance[32];
    std::snprintf(distance, sizeof distance, n.metres < 10e3 ? " %.1f km" : " %.0f km",
                  n.metres / 1000.0);
    map.add(groupName(n.record, request.colouring), position.latitude, position.longitude,
            fieldText(n.record.name) + distance);
  }
  map.setTitle(
      "Nearest to " + coordinates(request.latitude, request.longitude) + ": " +
          text::plural(map.count(), "location", "locations"),
      request.databaseName + (request.filters.empty() ? "" : ", selected by " + request.filters));
  if (found.empty()) map.setNotice("No location found");
  return write(map, request);
}

}  // namespace metdb
