#include "tool/places/Continents.h"

#include "tool/text/Text.h"

namespace metdb {

const std::vector<std::string>& continents() {
  static const std::vector<std::string> names = {
      "Africa", "Antarctica", "Asia", "Europe", "North America", "Oceania", "South America"};
  return names;
}

const std::string* findContinent(const std::string& name) {
  for (const std::string& continent : continents()) {
    if (text::equalIgnoringCase(continent, name)) return &continent;
  }
  return nullptr;
}

}  // namespace metdb
