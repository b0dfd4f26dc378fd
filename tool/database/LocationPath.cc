#include "tool/database/LocationPath.h"

#include <charconv>

#include "tool/text/Text.h"

namespace metdb {

namespace {

bool wanted(const LocationPath& path, std::size_t level, const std::string& name) {
  return level >= path.parts.size() || text::equalIgnoringCase(path.parts[level], name);
}

}  // namespace

bool LocationPath::parse(const std::string& value, LocationPath* path, std::string* error) {
  path->parts = text::split(value, '/');
  if (path->parts.size() > 4) {
    *error =
        text::quoted(value) + " has more than four parts; a path is CONTINENT/COUNTRY/STATE/NAME";
    return false;
  }
  for (std::size_t i = 0; i < path->parts.size(); ++i) {
    if (path->parts[i].empty() && i != 2) {
      *error = text::quoted(value) + " has an empty " +
               (i == 0   ? "continent"
                : i == 1 ? "country"
                         : "name");
      return false;
    }
  }
  return true;
}

std::string LocationPath::toString() const {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? "/" : "") + parts[i];
  return out;
}

std::vector<Location*> LocationPath::find(Directory* directory) const {
  std::vector<Location*> found;
  TISArrayAsVector<Continent>* continents = directory->getContinents();
  for (unsigned i = 0; i < continents->count(); ++i) {
    if (!wanted(*this, 0, *(*continents)[i])) continue;
    TISArrayAsVector<Country>* countries = (*continents)[i]->getCountries();
    for (unsigned j = 0; j < countries->count(); ++j) {
      if (!wanted(*this, 1, *(*countries)[j])) continue;
      TISArrayAsVector<State>* states = (*countries)[j]->getStates();
      for (unsigned s = 0; s < states->count(); ++s) {
        if (!wanted(*this, 2, *(*states)[s])) continue;
        TISArrayAsVector<Location>* locations = (*states)[s]->getLocations();
        for (unsigned l = 0; l < locations->count(); ++l) {
          if (wanted(*this, 3, *(*locations)[l])) found.push_back((*locations)[l]);
        }
      }
    }
  }
  return found;
}

std::string recordPath(const LocationData& r) {
  return fieldText(r.continent) + "/" + fieldText(r.country) + "/" + fieldText(r.state) + "/" +
         fieldText(r.name);
}

bool parseRecordIndex(const std::string& value, long* index) {
  if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos) return false;
  auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), *index);
  return ec == std::errc() && ptr == value.data() + value.size();
}

}  // namespace metdb
