#include "tool/database/LocationPath.h"

#include <cctype>
#include <limits>
#include <set>

#include "datafile/StationFile.h"

#include "tool/Error.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/record/NameLevels.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

bool wanted(const LocationPath& path, std::size_t level, const std::string& name) {
  return level >= path.parts.size() || text::equalIgnoringCase(path.parts[level], name);
}

// Gathers the locations under a path, entering only the groups it names.
class PathFinder : public DirectoryVisitor {
 public:
  explicit PathFinder(const LocationPath& path) : path_(path) {}

  bool enterContinent(Continent* c) override { return wanted(path_, 0, *c); }
  bool enterCountry(Continent*, Country* k) override { return wanted(path_, 1, *k); }
  bool enterState(Continent*, Country*, State* s) override { return wanted(path_, 2, *s); }
  bool visitLocation(Continent*, Country*, State*, Location* l) override {
    if (wanted(path_, 3, *l)) found.push_back(l);
    return true;
  }

  std::vector<Location*> found;

 private:
  const LocationPath& path_;
};

}  // namespace

bool LocationPath::tryParse(const std::string& value, LocationPath* path, std::string* why) {
  path->parts = text::split(value, '/');
  if (path->parts.size() > 4) {
    *why =
        text::quoted(value) + " has more than four parts; a path is CONTINENT/COUNTRY/STATE/NAME";
    return false;
  }
  for (std::size_t i = 0; i < path->parts.size(); ++i) {
    if (path->parts[i].empty() && i != 2) {
      // The location's part is its name.
      *why = text::quoted(value) + " has an empty " +
             (i == 3 ? std::string("name") : nameLevels()[i].noun);
      return false;
    }
  }
  return true;
}

LocationPath LocationPath::parse(const std::string& value) {
  LocationPath path;
  std::string why;
  if (!tryParse(value, &path, &why)) throw Error(why + ".", Error::Cause::kBadInput);
  return path;
}

std::string LocationPath::toString() const {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? "/" : "") + parts[i];
  return out;
}

std::vector<Location*> LocationPath::find(Directory* directory) const {
  PathFinder finder(*this);
  walkDirectory(directory, finder);
  return finder.found;
}

std::string recordPath(const LocationData& r) {
  return fieldText(r.continent) + "/" + fieldText(r.country) + "/" + fieldText(r.state) + "/" +
         fieldText(r.name);
}

std::string recordPath(const LocationData& r, std::size_t levels) {
  const std::string parts[] = {fieldText(r.continent), fieldText(r.country), fieldText(r.state),
                               fieldText(r.name)};
  std::string out;
  for (std::size_t i = 0; i < levels && i < 4; ++i) out += (i ? "/" : "") + parts[i];
  return out;
}

bool parseRecordIndex(const std::string& value, long* index) {
  if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos) return false;
  long long v = 0;
  if (text::readNumber(value, &v) != text::NumberText::kNumber ||
      v > std::numeric_limits<long>::max()) {
    return false;
  }
  *index = static_cast<long>(v);
  return true;
}

bool isIdentifierText(const std::string& textValue) {
  std::size_t colon = textValue.find(':');
  if (colon == 0 || colon == std::string::npos || colon + 1 == textValue.size()) return false;
  if (textValue.find('/') != std::string::npos) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    char c = textValue[i];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') return false;
  }
  return true;
}

std::vector<Location*> findLocations(BMTFile& db, const std::string& textValue) {
  if (!isIdentifierText(textValue)) return LocationPath::parse(textValue).find(db.directory);
  StationFile stations(db);
  std::vector<long> indices = stations.lookup(textValue);
  std::vector<Location*> found;
  if (indices.empty()) return found;
  std::set<long> holding(indices.begin(), indices.end());
  forEachLocation(db.directory, [&](Continent*, Country*, State*, Location* l) {
    if (holding.count(l->locationIndex)) found.push_back(l);
  });
  return found;
}

std::string checkIndexOrPath(const std::string& textValue, bool wholePath) {
  long index;
  if (parseRecordIndex(textValue, &index) || isIdentifierText(textValue)) return "";
  LocationPath path;
  std::string why;
  if (!LocationPath::tryParse(textValue, &path, &why)) return why;
  if (wholePath && path.parts.size() != 4) {
    return text::quoted(textValue) +
           " is neither a record index, an identifier SCHEME:VALUE nor a path "
           "CONTINENT/COUNTRY/STATE/NAME";
  }
  return "";
}

}  // namespace metdb
