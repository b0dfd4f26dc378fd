#include "tool/database/Filters.h"

#include <vector>

#include "tool/text/Text.h"

namespace metdb {

namespace {

// Builds one chain of entries, dropping an entry whose name equals the one
// before it ignoring case: the resolution would match the first directory
// element of that name again and list its locations twice.
class ChainBuilder {
 public:
  TLocList* add(const std::string& name, bool selectAll) {
    if (tail_ != nullptr && text::equalIgnoringCase(tail_->name, name)) return nullptr;
    TLocList* entry = new TLocList(name.c_str(), selectAll);
    (tail_ == nullptr ? head_ : tail_->nextEntry) = entry;
    tail_ = entry;
    return entry;
  }
  TLocList* head() const { return head_; }

 private:
  TLocList* head_ = nullptr;
  TLocList* tail_ = nullptr;
};

bool matches(const std::string& pattern, const std::string& name) {
  return pattern.empty() || text::matchesPattern(pattern, name);
}

}  // namespace

bool parseBox(const std::string& textValue, float* south, float* west, float* north, float* east,
              std::string* error) {
  std::vector<std::string> parts = text::split(textValue, ',');
  float v[4];
  if (parts.size() != 4) {
    *error = text::quoted(textValue) + " is not four numbers SOUTH,WEST,NORTH,EAST";
    return false;
  }
  for (int i = 0; i < 4; ++i) {
    if (!text::parseNumber(parts[i], &v[i])) {
      *error = text::quoted(parts[i]) + " does not parse as a number";
      return false;
    }
  }
  const char* names[] = {"SOUTH", "WEST", "NORTH", "EAST"};
  for (int i = 0; i < 4; ++i) {
    float limit = (i % 2 == 0) ? 90.0f : 180.0f;
    if (v[i] < -limit || v[i] > limit) {
      *error = std::string(names[i]) + " " + text::quoted(parts[i]) + " is outside " +
               (i % 2 == 0 ? "-90..90" : "-180..180");
      return false;
    }
  }
  if (v[0] > v[2]) {
    *error = "SOUTH lies north of NORTH";
    return false;
  }
  if (v[1] > v[3]) {
    *error = "WEST lies east of EAST (a box across the 180th meridian is not possible)";
    return false;
  }
  *south = v[0];
  *west = v[1];
  *north = v[2];
  *east = v[3];
  return true;
}

bool Filters::narrowsTree() const {
  return !continent.empty() || !country.empty() || !state.empty() || !name.empty();
}

std::string Filters::describe() const {
  if (!selectionFile.empty()) return "--selection " + selectionFile;
  std::string out;
  auto add = [&out](const char* option, const std::string& value) {
    if (value.empty()) return;
    if (!out.empty()) out += ' ';
    out += std::string(option) + " " + value;
  };
  add("--continent", continent);
  add("--country", country);
  add("--state", state);
  add(nameOption.c_str(), name);
  if (levelGiven) {
    add("--level-limit", std::to_string(levelLimit));
  }
  add("--bbox", bbox);
  return out;
}

bool Filters::toSelection(Directory* directory, TLocationSelection* selection,
                          std::string* error) const {
  if (!selectionFile.empty()) {
    int read = selection->read(selectionFile.c_str());
    if (read == 1) return true;
    *error = read == 0 ? "Cannot open the selection file \"" + selectionFile + "\""
                       : "\"" + selectionFile + "\" is not a selection file of version 1.10";
    return false;
  }
  selection->levelLimit = levelLimit;
  if (!bbox.empty()) {
    if (!parseBox(bbox, &selection->minLatitude, &selection->minLongitude, &selection->maxLatitude,
                  &selection->maxLongitude, error)) {
      *error = "--bbox: " + *error;
      return false;
    }
    selection->useLatLonLimits = true;
  }

  // The deepest level that a filter names; below it nodes are taken whole.
  int deepest = !name.empty() ? 4 : !state.empty() ? 3 : !country.empty() ? 2 : 1;
  TISArrayAsVector<Continent>* continents = directory->getContinents();
  ChainBuilder continentChain;
  for (unsigned i = 0; i < continents->count(); ++i) {
    Continent* c = (*continents)[i];
    if (!matches(continent, *c)) continue;
    if (deepest == 1) {
      continentChain.add(*c, true);
      continue;
    }
    ChainBuilder countryChain;
    TISArrayAsVector<Country>* countries = c->getCountries();
    for (unsigned j = 0; j < countries->count(); ++j) {
      Country* k = (*countries)[j];
      if (!matches(country, *k)) continue;
      if (deepest == 2) {
        countryChain.add(*k, true);
        continue;
      }
      ChainBuilder stateChain;
      TISArrayAsVector<State>* states = k->getStates();
      for (unsigned s = 0; s < states->count(); ++s) {
        State* st = (*states)[s];
        if (!matches(state, *st)) continue;
        if (deepest == 3) {
          stateChain.add(*st, true);
          continue;
        }
        ChainBuilder locationChain;
        TISArrayAsVector<Location>* locations = st->getLocations();
        for (unsigned l = 0; l < locations->count(); ++l) {
          Location* loc = (*locations)[l];
          if (matches(name, *loc)) locationChain.add(*loc, false);
        }
        if (locationChain.head() == nullptr) continue;
        TLocList* entry = stateChain.add(*st, false);
        if (entry != nullptr) {
          entry->subList = locationChain.head();
        } else {
          TLocList* orphan = locationChain.head();
          selection->deleteList(orphan);
        }
      }
      if (stateChain.head() == nullptr) continue;
      TLocList* entry = countryChain.add(*k, false);
      if (entry != nullptr) {
        entry->subList = stateChain.head();
      } else {
        TLocList* orphan = stateChain.head();
        selection->deleteList(orphan);
      }
    }
    if (countryChain.head() == nullptr) continue;
    TLocList* entry = continentChain.add(*c, false);
    if (entry != nullptr) {
      entry->subList = countryChain.head();
    } else {
      TLocList* orphan = countryChain.head();
      selection->deleteList(orphan);
    }
  }
  selection->continentList = continentChain.head();
  return true;
}

}  // namespace metdb
