#include "tool/places/CountryCheck.h"

#include <unordered_map>
#include <vector>

#include "tool/places/CountryCodes.h"
#include "tool/places/CountryShapes.h"

namespace metdb {

namespace {

// The 1:50m outlines with what extraCountryOutlinesPath adds to them,
// under the same codes: one country each.
CountryShapes outlinesWithIslands() {
  std::vector<Outline> outlines = readOutlines(countryOutlinesPath(OutlineScale::k50m));
  std::vector<Outline> islands = readOutlines(extraCountryOutlinesPath());
  outlines.insert(outlines.end(), std::make_move_iterator(islands.begin()),
                  std::make_move_iterator(islands.end()));
  return CountryShapes(outlines);
}

}  // namespace

CountryDistance makeCountryDistance() {
  struct State {
    CountryShapes shapes = outlinesWithIslands();
    const CountryCodes& codes = CountryCodes::standard();
    // The alpha-2 code of each name met, empty for none with an outline.
    std::unordered_map<std::string, std::string> codeOfName;
  };
  auto state = std::make_shared<State>();
  return [state](const std::string& country, double latitude, double longitude) {
    auto known = state->codeOfName.find(country);
    if (known == state->codeOfName.end()) {
      const Country* c = state->codes.find(CountryCodes::Kind::kName, country);
      std::string code = c != nullptr && state->shapes.hasOutline(c->iso2) ? c->iso2 : "";
      known = state->codeOfName.emplace(country, code).first;
    }
    if (known->second.empty()) return -1.0;
    return state->shapes.distanceKm(latitude, longitude, known->second);
  };
}

}  // namespace metdb
